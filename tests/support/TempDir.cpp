#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumidex::test {

TempDir::TempDir() {
    std::string pattern = QDir::tempPath().toStdString() + "/lumidex2-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    QDir(QString::fromStdString(path_)).removeRecursively();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::string file = path_ + name;
    QDir().mkpath(QString::fromStdString(file.substr(0, file.rfind('/'))));
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace lumidex::test
