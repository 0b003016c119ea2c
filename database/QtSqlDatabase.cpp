#include "database/QtSqlDatabase.h"

#include "common/Exception.h"
#include "database/DatabaseBackend.h"
#include "database/DatabaseValues.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

namespace {

QString ErrorText(const QSqlError& error, const QStringList& secrets)
{
    QString text = error.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unknown database error.");
    return HideSecrets(text, secrets);
}

class TQtSqlRows : public TDatabaseRows {
public:
    TQtSqlRows(QSqlQuery query, QStringList secrets) : mQuery(std::move(query)), mSecrets(std::move(secrets))
    {
        const QSqlRecord record = mQuery.record();
        for (int i = 0; i < record.count(); ++i)
            mNames << record.fieldName(i);
    }

    bool Next() override
    {
        if (mQuery.next())
            return true;
        if (mQuery.lastError().isValid())
            throw Exception(ErrorText(mQuery.lastError(), mSecrets));
        return false;
    }

    int FieldIndex(const QString& name) const override { return FieldPosition(mNames, name); }

    TDateTime TimeValue(int field) override
    {
        const QVariant value = mQuery.value(field);
        if (value.isNull())
            return 0;
        switch (value.typeId()) {
        case QMetaType::QDateTime:
            return DateTimeFromQDateTime(value.toDateTime());
        case QMetaType::QDate:
            return EncodeDate(value.toDate());
        case QMetaType::QTime:
            return EncodeTime(value.toTime());
        case QMetaType::QString:
            return TimeFromText(value.toString().toUtf8().constData(), mNames[field]);
        case QMetaType::QByteArray:
            return TimeFromText(value.toByteArray().constData(), mNames[field]);
        default:
            ThrowUnreadable(mNames[field], QString::fromLatin1(value.typeName()), true);
        }
    }

    double NumberValue(int field) override
    {
        const QVariant value = mQuery.value(field);
        if (value.isNull())
            return 0;
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
        case QMetaType::SChar:
            return value.toDouble();
        case QMetaType::QDateTime:
        case QMetaType::QDate:
        case QMetaType::QTime:
            return TimeValue(field);
        case QMetaType::QString:
            return NumberFromText(value.toString().toUtf8().constData(), mNames[field]);
        case QMetaType::QByteArray:
            return NumberFromText(value.toByteArray().constData(), mNames[field]);
        default:
            ThrowUnreadable(mNames[field], QString::fromLatin1(value.typeName()), false);
        }
    }

private:
    QSqlQuery mQuery;
    QStringList mNames;
    QStringList mSecrets;
};

} // namespace

TQtSqlDatabase::TQtSqlDatabase(const QString& driver, const QString& databaseName, const QString& connectOptions,
                               const QStringList& secrets)
    : mConnectionName(QUuid::createUuid().toString()), mSecrets(secrets)
{
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw Exception(QStringLiteral("The database driver %1 is not installed.").arg(driver));
    QSqlDatabase database = QSqlDatabase::addDatabase(driver, mConnectionName);
    database.setDatabaseName(databaseName);
    database.setConnectOptions(connectOptions);
    if (!database.open()) {
        const QString text = ErrorText(database.lastError(), mSecrets);
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(mConnectionName);
        throw Exception(text);
    }
}

TQtSqlDatabase::~TQtSqlDatabase()
{
    {
        QSqlDatabase database = QSqlDatabase::database(mConnectionName, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(mConnectionName);
}

QSqlDatabase TQtSqlDatabase::Database() const
{
    return QSqlDatabase::database(mConnectionName, false);
}

QString TQtSqlDatabase::Quote(const QString& name, bool table) const
{
    return Database().driver()->escapeIdentifier(name, table ? QSqlDriver::TableName : QSqlDriver::FieldName);
}

void TQtSqlDatabase::Fail(const QSqlError& error) const
{
    throw Exception(ErrorText(error, mSecrets));
}

QStringList TQtSqlDatabase::Tables()
{
    QSqlDatabase database = Database();
    const QStringList tables = database.tables(static_cast<QSql::TableType>(QSql::Tables | QSql::Views));
    if (database.lastError().isValid())
        Fail(database.lastError());
    return tables;
}

QStringList TQtSqlDatabase::Columns(const QString& table)
{
    QSqlDatabase database = Database();
    const QSqlRecord record = database.record(table);
    if (database.lastError().isValid())
        Fail(database.lastError());
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    return columns;
}

std::unique_ptr<TDatabaseRows> TQtSqlDatabase::Select(const QString& table, const QString& timeField,
                                                      TDateTime time1, TDateTime time2)
{
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    if (!query.prepare(LoadStatement(Quote(table, true), Quote(timeField, false))))
        Fail(query.lastError());
    query.bindValue(QStringLiteral(":time1"), DateTimeToQDateTime(time1));
    query.bindValue(QStringLiteral(":time2"), DateTimeToQDateTime(time2));
    if (!query.exec())
        Fail(query.lastError());
    return std::make_unique<TQtSqlRows>(std::move(query), mSecrets);
}
