#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

struct zip;

// A zip archive opened for reading its parts (the container of .xlsx, .xlsm
// and .ods workbooks). A part is inflated in chunks and never held whole;
// what one part may inflate to is capped, relative to the archive's size and
// absolutely, so that a small archive cannot make a reader work through
// gigabytes. Errors are Exceptions whose text says what is wrong, without the
// file's name.
class TZipPackage {
public:
    // Opens a file.
    explicit TZipPackage(const QString& fileName);
    // Opens an archive held in memory (not copied; it must outlive the
    // package).
    TZipPackage(const void* data, std::size_t size);
    ~TZipPackage();
    TZipPackage(const TZipPackage&) = delete;
    TZipPackage& operator=(const TZipPackage&) = delete;

    // Part names compare without regard to case, as package names do.
    bool HasPart(const QByteArray& name) const;
    // The inflated size of a part as the archive gives it; 0 when it gives
    // none or the part is missing.
    std::uint64_t PartSize(const QByteArray& name) const;
    // Hands the inflated part to sink chunk by chunk until its end or until
    // sink returns false. Throws when the part is missing or damaged, or
    // inflates beyond the cap.
    void ReadPart(const QByteArray& name, const std::function<bool(const char* data, std::size_t size)>& sink) const;

    // The cap on one inflated part for an archive of the given size.
    static std::uint64_t InflateLimit(std::uint64_t archiveSize);

private:
    zip* mArchive = nullptr;
    std::uint64_t mInflateLimit = 0;
};
