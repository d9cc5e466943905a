// A stand-in companion for the tests of the companion channel. It takes its settings from the
// environment, opens its socket, stores its process id in the shared block, records its
// arguments and every message with the block's path in a file, and answers each message with
// the "next picture" request. The message (99, 99) ends it.

#include "Companions.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSharedMemory>
#include <QtEndian>

#include <cstring>

using namespace lumidex;

namespace {

void Record(const QString& file, const QByteArray& line) {
    QFile out(file);
    if (out.open(QIODevice::Append)) out.write(line + "\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString socketName = qEnvironmentVariable("FAKE_COMPANION_SOCKET");
    const QString outFile = qEnvironmentVariable("FAKE_COMPANION_OUT");
    const int offset = qEnvironmentVariableIntValue("FAKE_COMPANION_OFFSET");
    for (int i = 1; i < argc; ++i)
        Record(outFile, QByteArray("arg ") + argv[i]);

    QSharedMemory block(PerUserChannelName("Lumidex Server"));
    if (!block.attach()) return 3;
    uchar pid[4];
    qToLittleEndian(static_cast<uint32_t>(QCoreApplication::applicationPid()), pid);
    block.lock();
    std::memcpy(static_cast<char*>(block.data()) + offset, pid, 4);
    block.unlock();

    QLocalServer server;
    QLocalServer::removeServer(PerUserChannelName(socketName));
    if (!server.listen(PerUserChannelName(socketName))) return 4;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        QLocalSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, [&, socket] {
            while (socket->bytesAvailable() >= 8) {
                QByteArray bytes = socket->read(8);
                uint32_t w = qFromLittleEndian<uint32_t>(bytes.constData());
                uint32_t l = qFromLittleEndian<uint32_t>(bytes.constData() + 4);
                if (w == 99 && l == 99) {
                    server.close();
                    app.quit();
                    return;
                }
                block.lock();
                std::string path = ReadBlockPath(static_cast<const char*>(block.constData()));
                block.unlock();
                Record(outFile, QByteArray::number(w) + " " + QByteArray::number(l) + " " +
                                    QByteArray::fromStdString(path));
                // Ask the program for the next picture, as a viewer companion would.
                QLocalSocket reply;
                reply.connectToServer(PerUserChannelName("Lumidex Server"));
                if (reply.waitForConnected(1000)) {
                    uchar message[8];
                    qToLittleEndian<uint32_t>(0, message);
                    qToLittleEndian<uint32_t>(2, message + 4);
                    reply.write(reinterpret_cast<const char*>(message), 8);
                    reply.waitForBytesWritten(1000);
                    reply.disconnectFromServer();
                }
            }
        });
    });
    return app.exec();
}
