#pragma once

#include "common/Exception.h"
#include "common/LoadProgress.h"

#include <QString>

#include <csignal>
#include <sys/resource.h>

// A progress that cancels at its first step.
class TCancelAtFirstStep : public TLoadProgress {
public:
    bool Step(qint64, qint64) override { return false; }
};

// Runs `write` with the process's file size limit at `bytes`, so that a
// write past it fails as on a full disk, and returns the message of the
// Exception it threw (empty when it threw none).
template <class Write>
QString MessageUnderFileSizeLimit(rlim_t bytes, Write&& write)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        write();
    } catch (const Exception& error) {
        message = error.Message();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return message;
}
