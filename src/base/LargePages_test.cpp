#include "LargePages.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace lumidex {
namespace {

TEST(LargePages, RestartsOnlyWhereTheTunableMakesTheDifference) {
    constexpr const char* kMadvise = "always [madvise] never\n";
    struct Case {
        const char* mode;
        const char* tunables;
        const char* preload;
        const char* wanted;
    } cases[] = {
        {kMadvise, nullptr, nullptr, "glibc.malloc.hugetlb=1"},
        {kMadvise, "", nullptr, "glibc.malloc.hugetlb=1"},
        // The user's own tunables are kept.
        {kMadvise, "glibc.malloc.arena_max=2", nullptr,
         "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
        {kMadvise, "glibc.malloc.hugetlb=0", nullptr, ""},
        {"[always] madvise never\n", nullptr, nullptr, ""},
        {"always madvise [never]\n", nullptr, nullptr, ""},
        {"", nullptr, nullptr, ""}, // no such file
        {kMadvise, nullptr, "/usr/libexec/valgrind/vgpreload_core-amd64-linux.so", ""},
        {kMadvise, nullptr, "/usr/lib/libfoo.so", "glibc.malloc.hugetlb=1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(large_pages::TunablesForRestart({c.mode, c.tunables, c.preload}), c.wanted)
            << c.mode << " / " << (c.tunables ? c.tunables : "(unset)");
}

// The restart itself: arguments kept, the user's tunables and no marker left for the programs it
// starts, and no second restart.
TEST(LargePages, RestartKeepsArgumentsAndGivesTheEnvironmentBack) {
    QFile modeFile("/sys/kernel/mm/transparent_hugepage/enabled");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const bool madvise = false; // sanitizers keep their own allocator: no restart
#else
    const bool madvise =
        modeFile.open(QIODevice::ReadOnly) && modeFile.readAll().contains("[madvise]");
#endif
    for (const char* tunables : {static_cast<const char*>(nullptr), "glibc.malloc.arena_max=2"}) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("GLIBC_TUNABLES");
        env.remove("LD_PRELOAD");
        env.remove("LUMIDEX2_LARGE_PAGES");
        if (tunables) env.insert("GLIBC_TUNABLES", tunables);
        probe.setProcessEnvironment(env);
        probe.start(LARGE_PAGES_PROBE, {"one", "two words", ""});
        ASSERT_TRUE(probe.waitForFinished(10000));
        const QString expected = QString("restarted=%1\ntunables=%2\nmarker=(unset)\n"
                                         "arg=one\narg=two words\narg=\n")
                                     .arg(madvise ? 1 : 0)
                                     .arg(tunables ? tunables : "(unset)");
        EXPECT_EQ(QString::fromUtf8(probe.readAllStandardOutput()), expected);
    }
}

} // namespace
} // namespace lumidex
