#pragma once

#include <QtGlobal>

#include <exception>

// How a long load tells how far it has come and learns that the user wants it
// stopped. Loads take a pointer to one; null means nobody is watching.
class TLoadProgress {
public:
    virtual ~TLoadProgress() = default;

    // `done` of `total` units (bytes, say) are through; a negative total means
    // the size is unknown, and `done` then counts rows. Returns false once the
    // user has cancelled.
    virtual bool Step(qint64 done, qint64 total) = 0;
};

// Thrown by a load that was cancelled. It is no error: whoever started the load
// takes back what it added and shows nothing.
class LoadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The load was cancelled."; }
};

// Reports to `progress` unless it is null; throws LoadCancelled once the user
// has cancelled.
void ReportLoadProgress(TLoadProgress* progress, qint64 done, qint64 total);
