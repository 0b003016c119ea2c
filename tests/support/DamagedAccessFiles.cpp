#include "tests/support/DamagedAccessFiles.h"

#include "reader/ReaderJob.h"
#include "tests/support/TestDatabases.h"

#include <QFile>
#include <QtEndian>

#include <stdexcept>

namespace {

constexpr qsizetype PageSize = 4096;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    if (permissions)
        file.setPermissions(permissions);
}

bool IsPage(const QByteArray& bytes, qsizetype page, char kind)
{
    return bytes[page * PageSize] == kind && bytes[page * PageSize + 1] == 1;
}

// The definition page of Table1 (two records, nine columns).
qsizetype Table1Definition(const QByteArray& bytes)
{
    for (qsizetype page = 0; page < bytes.size() / PageSize; ++page) {
        const char* at = bytes.constData() + page * PageSize;
        if (IsPage(bytes, page, 2) && qFromLittleEndian<quint32>(at + 16) == 2
            && qFromLittleEndian<quint16>(at + 45) == 9)
            return page;
    }
    throw std::runtime_error("no definition page of Table1");
}

qsizetype FirstDataPageOf(const QByteArray& bytes, qsizetype definition)
{
    for (qsizetype page = 0; page < bytes.size() / PageSize; ++page) {
        if (IsPage(bytes, page, 1)
            && qFromLittleEndian<quint32>(bytes.constData() + page * PageSize + 4) == quint32(definition))
            return page;
    }
    throw std::runtime_error("no data page of Table1");
}

} // namespace

QString DamagedAccessFile(const QString& folder, const QString& fixture, TAccessDamage damage)
{
    QByteArray bytes = ReadAll(AccessFixture(fixture));
    switch (damage) {
    case TAccessDamage::Truncated:
        bytes.truncate(FirstDataPageOf(bytes, Table1Definition(bytes)) * PageSize);
        break;
    case TAccessDamage::EmptyPropertyRecord: {
        // A property blob starts "MR2\0"; its first record with its length.
        const qsizetype blob = bytes.indexOf(QByteArray("MR2\0", 4));
        if (blob < 0)
            throw std::runtime_error("no property blob");
        qToLittleEndian<quint32>(0, bytes.data() + blob + 4);
        break;
    }
    case TAccessDamage::UnreadableColumns:
        qToLittleEndian<quint16>(1000, bytes.data() + Table1Definition(bytes) * PageSize + 45);
        break;
    case TAccessDamage::CutAmongLongValues:
        bytes.truncate(103 * PageSize);
        break;
    }
    const QString path = folder + QStringLiteral("/damaged-") + fixture;
    WriteAll(path, bytes);
    return path;
}

QString AccessReaderStandIn(const QString& folder, TReaderEnding ending)
{
    const char* endings[] = {"kill -KILL $$", "exec sleep 600",
                             "while :; do printf '\\005\\000\\000\\000\\000'; sleep 0.1; done"};
    const QString path = folder + QStringLiteral("/reader-stand-in.sh");
    const QString script = QStringLiteral("#!/bin/sh\n"
                                          "echo $$ > \"%2/pid\"\n"
                                          "\"%1\" \"$@\" > \"%2/answer\"\n"
                                          "head -c $(($(stat -c %s \"%2/answer\") - 5)) \"%2/answer\"\n"
                                          "%3\n")
                               .arg(ReaderProgram(), folder, QString::fromLatin1(endings[int(ending)]));
    WriteAll(path, script.toUtf8(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
