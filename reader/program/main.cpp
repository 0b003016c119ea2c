// plotreel-reader access FILE tables
// plotreel-reader access FILE columns TABLE
// plotreel-reader access FILE select TABLE TIMEFIELD TIME1 TIME2
// plotreel-reader matlab|hdf5 FILE list
// plotreel-reader matlab|hdf5 FILE ends KEY
// plotreel-reader matlab|hdf5 FILE read KEY...
//
// Reads a file through a C library for plotreel in a process of its own, one
// job per run, and writes the answer to its standard output as frames
// (reader/ReaderFrames.h; database/AccessProtocol.h, logger/ForeignFrames.h).
// libmdb, libmatio and libhdf5 are C code that can crash, loop and grow
// without end on damaged files; here that costs only this process, kept
// within limits of memory and processor time.
#include "common/Exception.h"
#include "database/AccessProtocol.h"
#include "reader/program/AccessFile.h"
#include "reader/program/FrameOutput.h"
#include "reader/program/Hdf5Source.h"
#include "reader/program/MatlabSource.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr rlim_t MemoryBytes = rlim_t(1) << 30;
constexpr rlim_t ProcessorSeconds = 600;

bool Sanitized()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

void Limit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

TDateTime Time(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        throw Exception(QStringLiteral("'%1' is no time.").arg(text));
    return value;
}

// The descriptor of the standard output as it was; the standard output
// itself goes to /dev/null, since libmdb dumps pages there on some damaged
// files.
int TakeStandardOutput()
{
    const int answer = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (answer < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0)
        _exit(1);
    close(null);
    return answer;
}

void RunAccessJob(const QStringList& job, TFrameOutput& out)
{
    const TAccessFile file(job[0]);
    const QString what = job.value(1);
    if (job.size() == 2 && what == QLatin1String("tables"))
        AppendNames(out.Buffer(), file.Tables());
    else if (job.size() == 3 && what == QLatin1String("columns"))
        AppendNames(out.Buffer(), file.Columns(job[2]));
    else if (job.size() == 6 && what == QLatin1String("select"))
        file.Select(job[2], job[3], TLoadWindow{Time(job[4]), Time(job[5])}, out);
    else
        throw Exception(QStringLiteral("Unknown job '%1'.").arg(what));
}

void Run(int argc, char** argv, TFrameOutput& out)
{
    QStringList job;
    for (int i = 2; i < argc; ++i)
        job << QString::fromUtf8(argv[i]);
    const QString library = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    if (job.isEmpty())
        throw Exception(QStringLiteral("Usage: plotreel-reader access|matlab|hdf5 FILE JOB..."));
    if (library == QLatin1String("access")) {
        RunAccessJob(job, out);
    } else if (library == QLatin1String("matlab")) {
        TMatlabSource source(job.takeFirst());
        RunLoggerJob(source, job, out);
    } else if (library == QLatin1String("hdf5")) {
        THdf5Source source(job.takeFirst());
        RunLoggerJob(source, job, out);
    } else {
        throw Exception(QStringLiteral("Unknown library '%1'.").arg(library));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The address sanitizer reserves far more address space than the limit.
    if (!Sanitized())
        Limit(RLIMIT_AS, MemoryBytes, MemoryBytes);
    Limit(RLIMIT_CPU, ProcessorSeconds, ProcessorSeconds + 10);
    // A crash leaves no core file behind.
    Limit(RLIMIT_CORE, 0, 0);
    TFrameOutput out(TakeStandardOutput());
    try {
        Run(argc, argv, out);
    } catch (const Exception& e) {
        AppendError(out.Buffer(), e.Message());
    }
    out.Flush();
    return 0;
}
