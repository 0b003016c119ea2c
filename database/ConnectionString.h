#pragma once

#include <QList>
#include <QString>

// A connection string of "key=value;" pairs as OLE DB and ODBC write them.
// Keys match without regard to case; blanks and line breaks around keys and
// values do not count. A value may be enclosed in double or single quotes (a
// doubled quote stands for one) or in braces (a doubled closing brace stands
// for one), and may then hold ";".
class TConnectionString {
public:
    struct TPair {
        QString Key;
        QString Value;
        // The value was written in braces, as ODBC drivers expect for some.
        bool Braced = false;
    };

    explicit TConnectionString(const QString& text);

    const QList<TPair>& Pairs() const { return mPairs; }
    bool Has(const QString& key) const;
    // The value of the first of the keys that is present, or empty text.
    QString Value(std::initializer_list<const char*> keys) const;

private:
    QList<TPair> mPairs;
};

// A value written for an ODBC connection string: in braces when it holds
// characters that would end or change it.
QString OdbcValue(const QString& value, bool forceBraces = false);
