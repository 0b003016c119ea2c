#pragma once

#include <QSaveFile>
#include <QString>

// A file written beside its final name and put in place only by Commit(), so
// that a failure or a cancel on the way never leaves part of it under that
// name nor touches a file already there. Destroyed without a commit, it
// removes what it wrote.
//
// Every failure throws "Cannot create file "<name>". <the system's reason>".
class TAtomicFile {
public:
    explicit TAtomicFile(const QString& fileName);

    const QString& FileName() const { return mFileName; }
    void Write(const char* data, qint64 size);
    void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }
    // Moves the write position as lseek does (SEEK_SET, SEEK_CUR, SEEK_END)
    // and returns the new one; for writers that go back to fill in a header.
    qint64 Seek(qint64 offset, int whence);
    qint64 Size() const;
    // Syncs the data to the disk and renames the file to its final name.
    void Commit();

    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

private:
    [[noreturn]] void Fail(const QString& reason) const;

    QString mFileName;
    QSaveFile mFile;
};
