#include "common/MemoryLeft.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

#include <sys/resource.h>

namespace {

QByteArray ReadSmallFile(const QString& fileName)
{
    QFile file(fileName);
    // Files of /proc and /sys report no size: read until they end.
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 20) : QByteArray();
}

// A "Name:   123 kB" line of /proc/meminfo or /proc/self/status, in bytes.
std::optional<qint64> KilobyteField(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(name + ':'))
            continue;
        bool ok = false;
        const qint64 kilobytes = line.mid(name.size() + 1).simplified().split(' ').value(0).toLongLong(&ok);
        if (ok)
            return kilobytes * 1024;
    }
    return std::nullopt;
}

// A file holding one number of bytes; none for "max" or anything unreadable.
std::optional<qint64> ByteCount(const QString& fileName)
{
    bool ok = false;
    const qint64 bytes = ReadSmallFile(fileName).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(bytes) : std::nullopt;
}

std::optional<qint64> LimitLeft(int resource, const std::optional<qint64>& used)
{
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || !used)
        return std::nullopt;
    const auto bound = static_cast<qint64>(std::min<rlim_t>(limit.rlim_cur, std::numeric_limits<qint64>::max()));
    return bound - *used;
}

// Adds what each cgroup from `path` up to the hierarchy's root has left
// under its limit. cgroup v1 shows no limit as a huge number.
void AddCgroupLimits(const QString& hierarchy, QString path, const QString& limitFile, const QString& usageFile,
                     std::vector<qint64>& left)
{
    for (;;) {
        const QString folder = hierarchy + path;
        const std::optional<qint64> limit = ByteCount(folder + QLatin1Char('/') + limitFile);
        const std::optional<qint64> usage = ByteCount(folder + QLatin1Char('/') + usageFile);
        if (limit && usage && *limit < (qint64(1) << 60))
            left.push_back(*limit - *usage);
        if (path.isEmpty() || path == QLatin1String("/"))
            return;
        path = path.left(std::max<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
    }
}

} // namespace

qint64 MemoryLeft(const TMemoryFigures& figures)
{
    qint64 left = std::numeric_limits<qint64>::max();
    for (const std::optional<qint64>& figure : {figures.System, figures.AddressSpace, figures.Data}) {
        if (figure)
            left = std::min(left, *figure);
    }
    for (const qint64 figure : figures.Cgroups)
        left = std::min(left, figure);
    return std::max<qint64>(left, 0);
}

TMemoryFigures ReadMemoryFigures(const QString& proc, const QString& cgroupRoot)
{
    TMemoryFigures figures;
    const QByteArray meminfo = ReadSmallFile(proc + QStringLiteral("/meminfo"));
    const std::optional<qint64> available = KilobyteField(meminfo, "MemAvailable");
    if (available)
        figures.System = *available + KilobyteField(meminfo, "SwapFree").value_or(0);
    const QByteArray status = ReadSmallFile(proc + QStringLiteral("/self/status"));
    figures.AddressSpace = LimitLeft(RLIMIT_AS, KilobyteField(status, "VmSize"));
    figures.Data = LimitLeft(RLIMIT_DATA, KilobyteField(status, "VmData"));
    // Lines "<id>:<controllers>:<path>": "0::<path>" for cgroup v2, the line
    // naming "memory" for cgroup v1.
    for (const QByteArray& line : ReadSmallFile(proc + QStringLiteral("/self/cgroup")).split('\n')) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 3)
            continue;
        const QString path = QString::fromUtf8(line.mid(fields[0].size() + fields[1].size() + 2));
        if (fields[0] == "0" && fields[1].isEmpty()) {
            for (const QString& mount : {cgroupRoot, cgroupRoot + QStringLiteral("/unified")})
                AddCgroupLimits(mount, path, QStringLiteral("memory.max"), QStringLiteral("memory.current"), figures.Cgroups);
        } else if (fields[1].split(',').contains("memory")) {
            AddCgroupLimits(cgroupRoot + QStringLiteral("/memory"), path, QStringLiteral("memory.limit_in_bytes"),
                            QStringLiteral("memory.usage_in_bytes"), figures.Cgroups);
        }
    }
    return figures;
}
