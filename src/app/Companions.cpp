#include "Companions.h"

#include "QtText.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>
#include <QtEndian>

#include <cstring>
#include <unistd.h>

namespace lumidex {

QString PerUserChannelName(const QString& name) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
        return QDir(QString::fromLocal8Bit(runtime)).filePath(name);
    return name + "-" + QString::number(::getuid());
}

void WriteBlockPath(char* block, const std::string& path) {
    char* slot = block + kBlockPathOffset;
    std::memset(slot, 0, kBlockPathSize);
    if (path.size() + 1 > static_cast<size_t>(kBlockPathSize)) return;
    std::memcpy(slot, path.data(), path.size());
}

std::string ReadBlockPath(const char* block) {
    const char* slot = block + kBlockPathOffset;
    const void* end = std::memchr(slot, 0, kBlockPathSize);
    if (!end) return {};
    return std::string(slot, static_cast<const char*>(end));
}

std::string FindCompanionProgram(const Companion& companion,
                                 const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        QFileInfo file(QDir(PathText(folder)).filePath(companion.program));
        if (file.isFile() && file.isExecutable()) return PathBytes(file.absoluteFilePath());
    }
    return {};
}

bool CompanionRunning(const Companion& companion) {
    if (!companion.socket) return false;
    QLocalSocket socket;
    socket.connectToServer(PerUserChannelName(companion.socket));
    bool running = socket.waitForConnected(200);
    socket.abort();
    return running;
}

bool StartCompanion(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& workingFolder) {
    QStringList args;
    for (const std::string& a : arguments)
        args << PathText(a);
    return QProcess::startDetached(PathText(program), args, PathText(workingFolder));
}

bool SendCompanionMessage(const Companion& companion, uint32_t wParam, uint32_t lParam) {
    if (!companion.socket) return false;
    QLocalSocket socket;
    socket.connectToServer(PerUserChannelName(companion.socket));
    if (!socket.waitForConnected(500)) return false;
    uchar bytes[8];
    qToLittleEndian(wParam, bytes);
    qToLittleEndian(lParam, bytes + 4);
    bool sent = socket.write(reinterpret_cast<const char*>(bytes), 8) == 8 &&
                socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return sent;
}

std::vector<std::string> TinterArguments(const std::string& reference) {
    if (reference.empty()) return {};
    return {reference};
}

std::vector<std::string> JoinerArguments(const std::string& reference, const std::string& next) {
    std::vector<std::string> args;
    if (reference.empty()) return args;
    args.push_back(reference);
    if (!next.empty()) args.push_back(next);
    return args;
}

void CompanionInbox::Deliver(uint32_t wParam, uint32_t lParam) {
    if (busy_() || !waiting_.empty()) {
        waiting_.emplace_back(wParam, lParam);
        return;
    }
    handler_(wParam, lParam);
}

void CompanionInbox::Flush() {
    while (!waiting_.empty() && !busy_()) {
        auto [w, l] = waiting_.front();
        waiting_.pop_front();
        handler_(w, l);
    }
}

} // namespace lumidex
