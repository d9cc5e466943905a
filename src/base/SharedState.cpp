#include "SharedState.h"

#include "Paths.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lumidex {

std::string DefaultAppDir() {
    QString dir;
    if (const char* home = std::getenv("LUMIDEX2_HOME"); home && *home) {
        dir = QString::fromLocal8Bit(home);
    } else {
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
              QStringLiteral("/Lumidex2");
    }
    QDir().mkpath(dir);
    return paths::WithTrailingDelimiter(QFile::encodeName(dir).toStdString());
}

SharedState::SharedState(Frame& frame, std::string appDir)
    : AppDir(std::move(appDir)), frame_(&frame) {
    if (!AppDir.empty() && !paths::IsDelimiter(AppDir.back())) AppDir += paths::kDelimiter;
}

void SharedState::LogMessage(const std::string& text) {
    if (LoggingOn) AppendToLogFile(text);
    ErrorHistory.Add(text);
    frame_->ShowLogged(text, ErrorHistory.Joined());
}

void SharedState::AppendToLogFile(const std::string& text) {
    std::string path = AppDir + "logfile.txt";
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // Others are kept from writing while the line goes in.
    ::flock(fd, LOCK_EX);
    QLocale locale = QLocale::system();
    std::string line =
        locale.toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString() + " " +
        text + "\n";
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

std::string SharedState::DatabaseFolder() const {
    return std::string(paths::FolderPart(DatabasePath));
}

void SharedState::SetNativePicturePatterns() {
    PicturePatterns = kNativePicturePatterns;
    frame_->SetStatusText(StatusPanel::Outcome, "Lumidex native graphics:JPEG,BMP,PNG");
}

void SharedState::MarkDataChanged() {
    DataChanged = true;
    frame_->ChangeFlagsChanged();
}

void SharedState::MarkOptionsChanged() {
    OptionsChanged = true;
    frame_->ChangeFlagsChanged();
}

} // namespace lumidex
