#include "database/ReaderProcess.h"

#include "common/Exception.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

int gSilenceLimitMs = 30000;

} // namespace

void TReaderProcess::SetSilenceLimit(int milliseconds)
{
    gSilenceLimitMs = milliseconds;
}

TReaderProcess::TReaderProcess(const QString& program, const QStringList& arguments, const QString& fileName)
    : mFileName(fileName)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw Exception(QStringLiteral("The file \"%1\" could not be read: %2").arg(fileName, qt_error_string(errno)));
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The reader writes its frames to the pipe; libmdb's warnings go nowhere.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int result = posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    mPipe = pipeEnds[0];
    if (result != 0) {
        mPid = -1;
        close(mPipe);
        mPipe = -1;
        throw Exception(QStringLiteral("The file \"%1\" could not be read: the reader %2 cannot be started (%3).")
                            .arg(fileName, program, qt_error_string(result)));
    }
}

TReaderProcess::~TReaderProcess()
{
    Stop();
}

void TReaderProcess::Stop()
{
    if (mPipe >= 0) {
        close(mPipe);
        mPipe = -1;
    }
    if (mPid > 0) {
        kill(mPid, SIGKILL);
        while (waitpid(mPid, nullptr, 0) < 0 && errno == EINTR) {
        }
        mPid = -1;
    }
}

void TReaderProcess::Fail(const QString& what)
{
    Stop();
    throw Exception(QStringLiteral("The file \"%1\" could not be read: %2").arg(mFileName, what));
}

bool TReaderProcess::Next(TReaderFrame& kind, std::string& payload)
{
    if (mDone)
        return false;
    while (!mBuffer.Next(kind, payload)) {
        pollfd wait{mPipe, POLLIN, 0};
        const int ready = poll(&wait, 1, gSilenceLimitMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            Fail(QStringLiteral("the reader stopped answering."));
        char block[65536];
        const ssize_t size = read(mPipe, block, sizeof block);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0)
            Fail(QStringLiteral("the reader stopped unexpectedly."));
        mBuffer.Append(block, static_cast<std::size_t>(size));
    }
    switch (kind) {
    case TReaderFrame::Done:
        mDone = true;
        Stop();
        return false;
    case TReaderFrame::Error: {
        const QString message = QString::fromUtf8(payload.data(), static_cast<qsizetype>(payload.size()));
        Stop();
        throw Exception(message);
    }
    case TReaderFrame::Name:
    case TReaderFrame::Row:
        return true;
    }
    Fail(QStringLiteral("the reader sent what it should not."));
}
