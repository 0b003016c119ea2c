#pragma once

#include <QString>

#include <optional>

#include <sys/types.h>

// A file as the kernel knows it: two paths name the same file exactly when
// their device and inode agree, whatever links, folders or spellings lead
// there.
struct TFileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;

    bool operator==(const TFileIdentity& other) const { return Device == other.Device && Inode == other.Inode; }
};

// The file that `path` leads to, symbolic links followed; none when there is
// no such file (or it cannot be looked at).
std::optional<TFileIdentity> FileIdentityOf(const QString& path);

// Whether both paths lead to one existing file.
bool SameFile(const QString& first, const QString& second);
