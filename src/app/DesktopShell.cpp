// GIO reads the desktop entries and "mimeapps.list" as the XDG specifications say and expands
// Exec lines; it is included before Qt, whose "signals" keyword would clash with its headers.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "DesktopShell.h"

#include "QtText.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>

namespace lumidex {

namespace {

std::string MimeTypeOf(const std::string& path) {
    return S(QMimeDatabase().mimeTypeForFile(PathText(path)).name());
}

std::string IdOf(GAppInfo* app) {
    const char* id = g_app_info_get_id(app);
    return id ? id : "";
}

} // namespace

std::vector<ShellVerb> ShellVerbs(const std::string& path) {
    std::vector<ShellVerb> verbs;
    const std::string type = MimeTypeOf(path);
    if (type.empty()) return verbs;
    std::string defaultId;
    if (GAppInfo* app = g_app_info_get_default_for_type(type.c_str(), FALSE)) {
        defaultId = IdOf(app);
        if (!defaultId.empty()) verbs.push_back({"Open", defaultId});
        g_object_unref(app);
    }
    GList* all = g_app_info_get_all_for_type(type.c_str());
    for (GList* item = all; item; item = item->next) {
        auto* app = static_cast<GAppInfo*>(item->data);
        std::string id = IdOf(app);
        if (id.empty() || id == defaultId || !g_app_info_should_show(app)) continue;
        verbs.push_back({g_app_info_get_name(app), id});
    }
    g_list_free_full(all, g_object_unref);
    return verbs;
}

bool RunShellVerb(const std::string& appId, const std::string& path) {
    GDesktopAppInfo* app = g_desktop_app_info_new(appId.c_str());
    if (!app) return false;
    GFile* file = g_file_new_for_path(path.c_str());
    GList files{file, nullptr, nullptr};
    GError* error = nullptr;
    gboolean started = g_app_info_launch(G_APP_INFO(app), &files, nullptr, &error);
    if (error) g_error_free(error);
    g_object_unref(file);
    g_object_unref(app);
    return started;
}

bool ExploreFile(const std::string& path) {
    const QString file = QFileInfo(PathText(path)).absoluteFilePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = "org.freedesktop.FileManager1";
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service)) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, "/org/freedesktop/FileManager1",
                                                           service, "ShowItems");
        call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
        if (bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage) return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

bool OpenWithDesktop(const std::string& path) {
    if (!QFileInfo(PathText(path)).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(path)));
}

} // namespace lumidex
