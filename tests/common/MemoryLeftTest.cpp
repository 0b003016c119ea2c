#include "common/MemoryLeft.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <limits>
#include <map>

#include <sys/resource.h>

namespace {

constexpr qint64 MiB = 1 << 20;

// A /proc and a cgroup file system of files written by the test.
void PutFiles(const QString& root, const std::map<QString, QByteArray>& files)
{
    for (const auto& [name, content] : files) {
        const QString path = root + name;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
}

// The memory left is the least of what the system has free and what each
// cgroup holding the process allows, cgroup v2 and v1, at every level.
TEST(MemoryLeft, IsTheLeastOfTheSystemsAndEveryCgroupsMemoryLeft)
{
    const QByteArray meminfo = "MemTotal:       16000000 kB\nMemFree:         100 kB\n"
                               "MemAvailable:    8388608 kB\nSwapTotal: 0 kB\nSwapFree:        1048576 kB\n";
    const struct {
        const char* Name;
        std::map<QString, QByteArray> Files;
        std::vector<qint64> Cgroups;
        qint64 Left;
    } cases[] = {
        {"no cgroup limit",
         {{"/proc/self/cgroup", "0::/user.slice/app\n"}, {"/cg/user.slice/app/memory.max", "max\n"},
          {"/cg/user.slice/app/memory.current", "4096\n"}},
         {}, 9 * 1024 * MiB},
        {"cgroup v2 limit below its parent's",
         {{"/proc/self/cgroup", "0::/user.slice/app\n"}, {"/cg/user.slice/app/memory.max", "3221225472\n"},
          {"/cg/user.slice/app/memory.current", "1073741824\n"}, {"/cg/user.slice/memory.max", "8589934592\n"},
          {"/cg/user.slice/memory.current", "2147483648\n"}},
         {2048 * MiB, 6144 * MiB}, 2048 * MiB},
        {"a parent's cgroup v2 limit is the lesser",
         {{"/proc/self/cgroup", "0::/box/app\n"}, {"/cg/box/memory.max", "1610612736\n"},
          {"/cg/box/memory.current", "536870912\n"}},
         {1024 * MiB}, 1024 * MiB},
        {"cgroup v2 mounted beside v1, at unified",
         {{"/proc/self/cgroup", "4:memory:/\n0::/app\n"}, {"/cg/unified/app/memory.max", "2147483648\n"},
          {"/cg/unified/app/memory.current", "0\n"}, {"/cg/memory/memory.limit_in_bytes", "9223372036854771712\n"},
          {"/cg/memory/memory.usage_in_bytes", "700000000\n"}},
         {2048 * MiB}, 2048 * MiB},
        {"cgroup v1 memory limit",
         {{"/proc/self/cgroup", "9:cpu,cpuacct:/x\n4:memory:/job\n0::/\n"},
          {"/cg/memory/job/memory.limit_in_bytes", "2684354560\n"}, {"/cg/memory/job/memory.usage_in_bytes", "536870912\n"}},
         {2048 * MiB}, 2048 * MiB},
        {"over the limit already",
         {{"/proc/self/cgroup", "0::/app\n"}, {"/cg/app/memory.max", "1000\n"}, {"/cg/app/memory.current", "5000\n"}},
         {-4000}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        std::map<QString, QByteArray> files = c.Files;
        files[QStringLiteral("/proc/meminfo")] = meminfo;
        files[QStringLiteral("/proc/self/status")] = "Name: test\nVmSize:  1000 kB\nVmData:  500 kB\n";
        PutFiles(root.path(), files);
        TMemoryFigures figures = ReadMemoryFigures(root.filePath("proc"), root.filePath("cg"));
        ASSERT_TRUE(figures.System);
        EXPECT_EQ(*figures.System, 9 * 1024 * MiB) << "MemAvailable and SwapFree";
        EXPECT_EQ(figures.Cgroups, c.Cgroups);
        // The process limits are those of the test itself: none here.
        figures.AddressSpace.reset();
        figures.Data.reset();
        EXPECT_EQ(MemoryLeft(figures), c.Left);
    }
}

TEST(MemoryLeft, TheProcessLimitsCountWhatIsMappedAlready)
{
    TMemoryFigures figures;
    EXPECT_EQ(MemoryLeft(figures), std::numeric_limits<qint64>::max()) << "nothing known bounds it";
    figures.System = 8000 * MiB;
    figures.AddressSpace = 3000 * MiB;
    figures.Data = 5000 * MiB;
    EXPECT_EQ(MemoryLeft(figures), 3000 * MiB);

#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory cannot live under a lowered address-space limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer's shadow memory cannot live under a lowered address-space limit";
#endif
#endif
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &before), 0);
    rlimit lowered = before;
    lowered.rlim_cur = rlim_t(64) << 30;
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &lowered), 0);
    const TMemoryFigures own = ReadMemoryFigures();
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &before), 0);
    ASSERT_TRUE(own.AddressSpace);
    EXPECT_LT(*own.AddressSpace, qint64(64) << 30) << "what is mapped now is taken off";
    EXPECT_GT(*own.AddressSpace, qint64(32) << 30);
}

} // namespace
