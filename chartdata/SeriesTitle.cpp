#include "chartdata/SeriesTitle.h"

#include <QStringDecoder>

namespace {

// Number of bytes at the end of `bytes` that begin a UTF-8 sequence without
// completing it; 0 when the bytes end on a character boundary (or with bytes
// that are not UTF-8 at all, which the decoder then reports).
qsizetype IncompleteUtf8Tail(const QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    qsizetype continuation = 0;
    while (continuation < 3 && continuation < size
           && (static_cast<uchar>(bytes[size - 1 - continuation]) & 0xC0) == 0x80)
        ++continuation;
    if (continuation == size)
        return 0;
    const uchar lead = static_cast<uchar>(bytes[size - 1 - continuation]);
    qsizetype expected = 1;
    if ((lead & 0xE0) == 0xC0)
        expected = 2;
    else if ((lead & 0xF0) == 0xE0)
        expected = 3;
    else if ((lead & 0xF8) == 0xF0)
        expected = 4;
    return expected > continuation + 1 ? continuation + 1 : 0;
}

} // namespace

QString TitleToDisplay(const QByteArray& title)
{
    const qsizetype clipped = title.size() == SeriesTitleFieldSize ? IncompleteUtf8Tail(title) : 0;
    const QByteArray whole = title.first(title.size() - clipped);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(whole);
    if (decoder.hasError())
        return QString::fromLatin1(title);
    return text;
}

QByteArray TitleFromDisplay(const QString& title)
{
    return title.toUtf8();
}
