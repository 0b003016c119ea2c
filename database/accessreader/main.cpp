// plotreel-access-reader FILE tables
// plotreel-access-reader FILE columns TABLE
// plotreel-access-reader FILE select TABLE TIMEFIELD TIME1 TIME2
//
// Reads an Access file for plotreel in a process of its own and writes the
// answer to its standard output as frames (database/AccessProtocol.h). libmdb
// is old C code that crashes, loops and grows without end on some damaged
// files; here that costs only this process, kept within limits of memory and
// processor time.
#include "common/Exception.h"
#include "database/AccessProtocol.h"
#include "database/accessreader/AccessFile.h"
#include "database/accessreader/FrameOutput.h"

#include <cstring>

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

TDateTime Time(const char* text)
{
    bool ok = false;
    const double value = QByteArray(text).toDouble(&ok);
    if (!ok)
        throw Exception(QStringLiteral("'%1' is no time.").arg(QString::fromUtf8(text)));
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

void Run(int argc, char** argv, TFrameOutput& out)
{
    const auto argument = [argv](int i) { return QString::fromUtf8(argv[i]); };
    if (argc < 3)
        throw Exception(QStringLiteral("Usage: plotreel-access-reader FILE tables|columns|select ..."));
    const TAccessFile file(argument(1));
    if (argc == 3 && std::strcmp(argv[2], "tables") == 0)
        AppendNames(out.Buffer(), file.Tables());
    else if (argc == 4 && std::strcmp(argv[2], "columns") == 0)
        AppendNames(out.Buffer(), file.Columns(argument(3)));
    else if (argc == 7 && std::strcmp(argv[2], "select") == 0)
        file.Select(argument(3), argument(4), TLoadWindow{Time(argv[5]), Time(argv[6])}, out);
    else
        throw Exception(QStringLiteral("Unknown job '%1'.").arg(argument(2)));
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
