#include "Companions.h"
#include "LumidexServer.h"
#include "TempDir.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

namespace lumidex {
namespace {

using test::TempDir;
using test::WaitFor;

TEST(Companions, BlockPathFitsWithItsZeroOrIsEmpty) {
    struct Case {
        size_t length;
        bool kept;
    };
    for (Case c :
         {Case{0, true}, Case{1, true}, Case{1023, true}, Case{1024, false}, Case{5000, false}}) {
        std::string block(2048, 'x');
        const std::string path(c.length, 'p');
        WriteBlockPath(block.data(), path);
        EXPECT_EQ(ReadBlockPath(block.data()), c.kept ? path : "") << c.length;
        EXPECT_EQ(block.substr(0, 1024), std::string(1024, 'x')) << "the first half is not ours";
    }
    // A slot without its terminating zero reads as no path, never past the block's end.
    std::string full(2048, 'q');
    EXPECT_EQ(ReadBlockPath(full.data()), "");
}

TEST(Companions, ArgumentsArePathsAsTheyAre) {
    EXPECT_TRUE(TinterArguments("").empty());
    EXPECT_EQ(TinterArguments("/a/b \"c\".jpg"), std::vector<std::string>{"/a/b \"c\".jpg"});
    EXPECT_EQ(JoinerArguments("/a.jpg", ""), std::vector<std::string>{"/a.jpg"});
    EXPECT_EQ(JoinerArguments("/a.jpg", "/b c.jpg"),
              (std::vector<std::string>{"/a.jpg", "/b c.jpg"}));
    EXPECT_TRUE(JoinerArguments("", "/b.jpg").empty());
}

TEST(Companions, ProgramIsTheFirstExecutableFound) {
    TempDir a, b;
    a.Write("tinter", "not executable");
    ::chmod(b.Write("tinter", "#!/bin/sh\n").c_str(), 0755);
    EXPECT_EQ(FindCompanionProgram(kTinter, {a.path(), b.path()}), b.File("tinter"));
    EXPECT_EQ(FindCompanionProgram(kJoiner, {a.path(), b.path()}), "");
}

TEST(Companions, MessagesWaitWhileALongOperationRuns) {
    bool busy = true;
    std::vector<std::pair<uint32_t, uint32_t>> handled;
    CompanionInbox inbox([&] { return busy; },
                         [&](uint32_t w, uint32_t l) { handled.emplace_back(w, l); });
    inbox.Deliver(0, 0);
    inbox.Deliver(0, 2);
    inbox.Flush();
    EXPECT_TRUE(handled.empty());
    busy = false;
    // A message that arrives before the queue is emptied keeps its place behind it.
    inbox.Deliver(1, 0);
    EXPECT_TRUE(handled.empty());
    inbox.Flush();
    EXPECT_EQ(handled, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 0}, {0, 2}, {1, 0}}));
    inbox.Deliver(0, 1);
    EXPECT_EQ(handled.back(), std::make_pair(0u, 1u));
}

TEST(Companions, ProtocolWithARunningCompanion) {
    int argc = 1;
    char name[] = "companions_test";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    TempDir runtime;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
    const std::string out = runtime.File("messages.txt");
    qputenv("FAKE_COMPANION_SOCKET", kTinter.socket);
    qputenv("FAKE_COMPANION_OUT", QByteArray::fromStdString(out));
    qputenv("FAKE_COMPANION_OFFSET", "4");

    LumidexServer server(nullptr);
    ASSERT_TRUE(server.owner());
    ASSERT_TRUE(server.listening());
    EXPECT_FALSE(CompanionRunning(kTinter));
    EXPECT_FALSE(SendCompanionMessage(kTinter, 2, 0));

    ASSERT_TRUE(StartCompanion(LUMIDEX2_FAKE_COMPANION, {"/pics/a b.jpg", "/pics/\"c\".jpg"},
                               runtime.path()));
    ASSERT_TRUE(WaitFor([] { return CompanionRunning(kTinter); }));
    EXPECT_NE(server.ProcessIdAt(4), 0u);

    QSignalSpy requests(&server, &LumidexServer::messageReceived);
    server.WritePath("/pics/x.jpg");
    EXPECT_EQ(server.ReadPath(), "/pics/x.jpg");
    ASSERT_TRUE(SendCompanionMessage(kTinter, 2, 0));
    ASSERT_TRUE(WaitFor([&] { return requests.count() > 0; }));
    EXPECT_EQ(requests.at(0).at(0).toUInt(), 0u);
    EXPECT_EQ(requests.at(0).at(1).toUInt(), 2u);

    ASSERT_TRUE(SendCompanionMessage(kTinter, 99, 99));
    ASSERT_TRUE(WaitFor([] { return !CompanionRunning(kTinter); }));
    QFile file(QString::fromStdString(out));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "arg /pics/a b.jpg\narg /pics/\"c\".jpg\n2 0 /pics/x.jpg\n");
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace lumidex
