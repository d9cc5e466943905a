#pragma once

// Conversions at the window boundary: texts are UTF-8, paths are the file system's bytes.

#include <QFile>
#include <QString>

#include <string>

namespace lumidex {

inline QString Q(const std::string& s) {
    return QString::fromUtf8(s.c_str(), static_cast<qsizetype>(s.size()));
}
inline std::string S(const QString& s) {
    return s.toUtf8().toStdString();
}
inline QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
inline std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace lumidex
