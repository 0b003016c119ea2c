#include "bench/AccessBench.h"

#include "database/AccessDatabase.h"
#include "database/AccessProtocol.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

constexpr int Records = 1000000;

bool Write(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return !permissions || file.setPermissions(permissions);
}

} // namespace

int RunAccessBench(int, char**)
{
    QTemporaryDir folder;
    QByteArray tables;
    AppendNames(tables, {QStringLiteral("Readings")});
    const std::vector<TAccessColumn> columns{
        {QStringLiteral("Note"), TAccessKind::Text, QStringLiteral("10")},
        {QStringLiteral("Stamp"), TAccessKind::Date, QStringLiteral("8")},
        {QStringLiteral("A"), TAccessKind::Number, QStringLiteral("7")},
        {QStringLiteral("B"), TAccessKind::Number, QStringLiteral("7")},
        {QStringLiteral("C"), TAccessKind::Number, QStringLiteral("4")},
        {QStringLiteral("D"), TAccessKind::Number, QStringLiteral("3")},
        {QStringLiteral("E"), TAccessKind::Number, QStringLiteral("7")}};
    QByteArray answer;
    AppendColumns(answer, columns);
    std::vector<TAccessValue> values(columns.size());
    for (int i = 0; i < Records; ++i) {
        values[0] = {false, 0, QByteArrayLiteral("ok")};
        values[1] = {false, 45000 + i / 86400.0, {}};
        for (std::size_t k = 2; k < values.size(); ++k)
            values[k] = {false, i * 0.5 + double(k), {}};
        AppendRow(answer, columns, values);
    }
    AppendEmptyFrame(answer, TAccessFrame::End);
    const QString script = QStringLiteral("#!/bin/sh\ncase \"$3\" in tables) exec cat \"%1/tables\";; "
                                          "*) exec cat \"%1/answer\";; esac\n")
                               .arg(folder.path());
    // The stand-in reads no file, but the database wants one to exist.
    if (!Write(folder.filePath("readings.mdb"), {}) || !Write(folder.filePath("tables"), tables) || !Write(folder.filePath("answer"), answer)
        || !Write(folder.filePath("reader.sh"), script.toUtf8(),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        std::fprintf(stderr, "cannot write the stand-in reader\n");
        return 1;
    }
    qputenv("PLOTREEL_READER", folder.filePath("reader.sh").toLocal8Bit());
    TAccessDatabase database(folder.filePath("readings.mdb"));
    const auto start = std::chrono::steady_clock::now();
    const auto rows = database.Select(QStringLiteral("Readings"), QStringLiteral("Stamp"), 0, 1e6);
    const int time = rows->FieldIndex(QStringLiteral("Stamp"));
    double sum = 0;
    int count = 0;
    while (rows->Next()) {
        sum += rows->TimeValue(time);
        for (int field = 2; field < 7; ++field)
            sum += rows->NumberValue(field);
        ++count;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    qunsetenv("PLOTREEL_READER");
    if (count != Records || sum <= 0) {
        std::fprintf(stderr, "read %d of %d records\n", count, Records);
        return 1;
    }
    std::printf("access_boundary_records_per_s %.0f records/s\n", count / seconds);
    std::printf("access_boundary_throughput %.1f MB/s\n", answer.size() / seconds / 1e6);
    return 0;
}
