#include "reader/ReaderProcess.h"

#include "common/Exception.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr qsizetype HeaderSize = 5;
// No frame of a reader comes near this; a longer one is garbage.
constexpr quint32 LargestFrame = 256u << 20;
constexpr qsizetype ReadSize = 1 << 16;

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TReaderProcess::TReaderProcess(const QString& program, const QStringList& arguments, const QString& fileName,
                               int silenceMs)
    : mFileName(fileName), mSilenceMs(silenceMs)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        throw Exception(QStringLiteral("The reader for '%1' could not be started: %2").arg(fileName, ErrorText(errno)));

    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The reader must die of a broken pipe and of its processor limit even
    // where this process ignores or blocks those signals.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t set;
    sigemptyset(&set);
    posix_spawnattr_setsigmask(&attributes, &set);
    sigaddset(&set, SIGPIPE);
    sigaddset(&set, SIGXCPU);
    posix_spawnattr_setsigdefault(&attributes, &set);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int error = posix_spawn(&mPid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (error != 0) {
        ::close(pipe[0]);
        mPid = -1;
        throw Exception(QStringLiteral("The reader for '%1' could not be started: %2: %3")
                            .arg(fileName, program, ErrorText(error)));
    }
    mOutput = pipe[0];
}

TReaderProcess::~TReaderProcess()
{
    Kill();
    if (mOutput >= 0)
        ::close(mOutput);
}

void TReaderProcess::Kill()
{
    if (mPid <= 0)
        return;
    ::kill(mPid, SIGKILL);
    while (::waitpid(mPid, nullptr, 0) < 0 && errno == EINTR) {
    }
    mPid = -1;
}

TReaderProcess::TFrame TReaderProcess::Next()
{
    for (;;) {
        const qsizetype available = mBuffer.size() - mStart;
        quint32 size = 0;
        if (available >= HeaderSize) {
            size = qFromLittleEndian<quint32>(mBuffer.constData() + mStart + 1);
            if (size > LargestFrame)
                Misbehaved();
            if (available >= HeaderSize + size) {
                const TFrame frame{static_cast<quint8>(mBuffer[mStart]), mBuffer.constData() + mStart + HeaderSize,
                                   size};
                mStart += HeaderSize + size;
                return frame;
            }
        }
        mBuffer.remove(0, mStart);
        mStart = 0;

        pollfd wait{mOutput, POLLIN, 0};
        const int ready = ::poll(&wait, 1, mSilenceMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            Kill();
            Stopped(QStringLiteral("the reader gave no answer for %1 seconds and was stopped.")
                        .arg(mSilenceMs / 1000.0));
        }
        const qsizetype filled = mBuffer.size();
        const qsizetype wanted = std::max<qsizetype>(ReadSize, HeaderSize + size - filled);
        mBuffer.resize(filled + wanted);
        const ssize_t count = ::read(mOutput, mBuffer.data() + filled, static_cast<size_t>(wanted));
        mBuffer.resize(filled + std::max<ssize_t>(count, 0));
        if (count < 0 && errno == EINTR)
            continue;
        if (count > 0)
            continue;

        // The output has ended before a whole frame: the reader is gone or
        // going. Killed now, a reader that has already ended keeps the
        // status it ended with.
        ::kill(mPid, SIGKILL);
        int status = 0;
        pid_t ended = -1;
        while ((ended = ::waitpid(mPid, &status, 0)) < 0 && errno == EINTR) {
        }
        mPid = -1;
        if (ended > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
            Stopped(QStringLiteral("the reader used up the processor time it is allowed."));
        Stopped(QStringLiteral("the reader stopped unexpectedly."));
    }
}

void TReaderProcess::Misbehaved()
{
    Kill();
    Stopped(QStringLiteral("the reader sent a damaged answer."));
}

void TReaderProcess::Stopped(const QString& what)
{
    throw Exception(QStringLiteral("The file '%1' could not be read: %2").arg(mFileName, what));
}
