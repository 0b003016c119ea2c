#include "spreadsheet/BiffStrings.h"

#include "common/Exception.h"

#include <algorithm>

namespace {

constexpr std::uint8_t HighByte = 0x01;
constexpr std::uint8_t ExtendedText = 0x04;
constexpr std::uint8_t RichText = 0x08;

QString Characters(TByteCursor& cursor, std::size_t count, std::uint8_t flags)
{
    if (flags & HighByte) {
        const std::string_view bytes = cursor.Take(count * 2);
        QString text(static_cast<qsizetype>(count), Qt::Uninitialized);
        for (std::size_t i = 0; i < count; ++i)
            text[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(
                static_cast<unsigned char>(bytes[2 * i]) | static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        return text;
    }
    const std::string_view bytes = cursor.Take(count);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The bytes of an SST record and its CONTINUE records as one sequence. A
// string's characters may go on in the next record, which then starts with
// a new flags byte saying how wide they are from there on.
class TContinuedBytes {
public:
    explicit TContinuedBytes(const std::vector<std::string_view>& records) : mRecords(records) {}

    bool AtEnd()
    {
        NextRecordIfDone();
        return mRecord == mRecords.size();
    }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Bytes(1)[0]); }
    std::uint16_t U16()
    {
        const std::uint16_t low = U8();
        return static_cast<std::uint16_t>(low | U8() << 8);
    }
    std::uint32_t U32()
    {
        const std::uint32_t low = U16();
        return low | static_cast<std::uint32_t>(U16()) << 16;
    }

    // Passes over count bytes, across records.
    void Skip(std::size_t count)
    {
        while (count > 0) {
            const std::size_t taken = Bytes(count).size();
            count -= taken;
        }
    }

    // Passes over count characters, of the width that flags gives, across
    // records.
    void SkipCharacters(std::size_t count, std::uint8_t flags)
    {
        for (;;) {
            const std::size_t width = flags & HighByte ? 2 : 1;
            const std::size_t here = std::min(count, Current().size() / width);
            mPosition += here * width;
            count -= here;
            if (count == 0)
                return;
            // A record ends inside a character.
            if (!Current().empty())
                throw Cut();
            flags = U8();
        }
    }

private:
    static Exception Cut()
    {
        return Exception(QStringLiteral("The shared strings of the workbook end inside a string."));
    }

    std::string_view Current() const
    {
        return mRecord < mRecords.size() ? mRecords[mRecord].substr(mPosition) : std::string_view();
    }

    void NextRecordIfDone()
    {
        while (mRecord < mRecords.size() && mPosition == mRecords[mRecord].size()) {
            ++mRecord;
            mPosition = 0;
        }
    }

    // Up to count bytes of the current record, at least one.
    std::string_view Bytes(std::size_t count)
    {
        NextRecordIfDone();
        if (mRecord == mRecords.size())
            throw Cut();
        const std::string_view bytes = Current().substr(0, count);
        mPosition += bytes.size();
        return bytes;
    }

    const std::vector<std::string_view>& mRecords;
    std::size_t mRecord = 0;
    std::size_t mPosition = 0;
};

} // namespace

QString ReadBiffString(TByteCursor& cursor)
{
    const std::size_t count = cursor.U16();
    const std::uint8_t flags = cursor.U8();
    return Characters(cursor, count, flags);
}

QString ReadShortBiffString(TByteCursor& cursor)
{
    const std::size_t count = cursor.U8();
    const std::uint8_t flags = cursor.U8();
    return Characters(cursor, count, flags);
}

std::size_t CountSharedStrings(const std::vector<std::string_view>& records)
{
    TContinuedBytes bytes(records);
    bytes.Skip(4);
    const std::uint32_t declared = bytes.U32();
    std::size_t count = 0;
    while (count < declared && !bytes.AtEnd()) {
        const std::size_t characters = bytes.U16();
        const std::uint8_t flags = bytes.U8();
        const std::size_t runs = flags & RichText ? bytes.U16() : 0;
        const std::size_t extended = flags & ExtendedText ? bytes.U32() : 0;
        bytes.SkipCharacters(characters, flags);
        bytes.Skip(runs * 4);
        bytes.Skip(extended);
        ++count;
    }
    return count;
}
