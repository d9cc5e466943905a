#include "LumidexServer.h"

#include "Companions.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSharedMemory>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace lumidex {

namespace {

bool ProcessAlive(uint32_t pid) {
    if (pid == 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void StorePid(QSharedMemory& block) {
    uint32_t pid = static_cast<uint32_t>(QCoreApplication::applicationPid());
    uchar bytes[4];
    qToLittleEndian(pid, bytes);
    block.lock();
    std::memcpy(block.data(), bytes, 4);
    block.unlock();
}

} // namespace

LumidexServer::LumidexServer(QObject* parent, const QString& name)
    : QObject(parent), name_(PerUserChannelName(name)),
      block_(std::make_unique<QSharedMemory>(name_)) {
    if (block_->create(kServerBlockSize)) {
        block_->lock();
        std::memset(block_->data(), 0, kServerBlockSize);
        block_->unlock();
        owner_ = true;
    } else if (block_->error() == QSharedMemory::AlreadyExists && block_->attach()) {
        // A block left behind by a program that ended without releasing it is taken over; a
        // running program's block is left untouched.
        if (block_->size() >= kServerBlockSize && !ProcessAlive(StoredProcessId()))
            owner_ = true;
        else
            block_->detach();
    }
    if (!owner_) return;
    StorePid(*block_);
    server_ = new QLocalServer(this);
    QLocalServer::removeServer(name_);
    if (server_->listen(name_))
        connect(server_, &QLocalServer::newConnection, this, &LumidexServer::OnConnection);
}

LumidexServer::~LumidexServer() {
    if (server_) server_->close();
    if (block_->isAttached()) block_->detach();
}

bool LumidexServer::listening() const {
    return server_ && server_->isListening();
}

uint32_t LumidexServer::StoredProcessId() const {
    return ProcessIdAt(0);
}

uint32_t LumidexServer::ProcessIdAt(int offset) const {
    if (!block_->isAttached() || block_->size() < offset + 4) return 0;
    uchar bytes[4];
    block_->lock();
    std::memcpy(bytes, static_cast<const char*>(block_->constData()) + offset, 4);
    block_->unlock();
    return qFromLittleEndian<uint32_t>(bytes);
}

void LumidexServer::WritePath(const std::string& path) {
    if (!owner_ || block_->size() < kServerBlockSize) return;
    block_->lock();
    WriteBlockPath(static_cast<char*>(block_->data()), path);
    block_->unlock();
}

std::string LumidexServer::ReadPath() const {
    if (!block_->isAttached() || block_->size() < kServerBlockSize) return {};
    block_->lock();
    std::string path = ReadBlockPath(static_cast<const char*>(block_->constData()));
    block_->unlock();
    return path;
}

void LumidexServer::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->bytesAvailable() >= 8) {
                QByteArray bytes = socket->read(8);
                uint32_t w = qFromLittleEndian<uint32_t>(bytes.constData());
                uint32_t l = qFromLittleEndian<uint32_t>(bytes.constData() + 4);
                emit messageReceived(w, l);
            }
        });
    }
}

} // namespace lumidex
