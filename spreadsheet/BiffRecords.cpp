#include "spreadsheet/BiffRecords.h"

#include "common/Exception.h"

#include <cstring>

namespace {

constexpr std::size_t HeaderSize = 4;

std::uint16_t Little16(const char* bytes)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0])
                                      | static_cast<unsigned char>(bytes[1]) << 8);
}

} // namespace

std::string_view TByteCursor::Take(std::size_t count)
{
    if (count > Left())
        throw Exception(QStringLiteral("A record of the workbook stream ends inside one of its fields."));
    const std::string_view taken = mBytes.substr(mPosition, count);
    mPosition += count;
    return taken;
}

std::uint8_t TByteCursor::U8()
{
    return static_cast<std::uint8_t>(Take(1)[0]);
}

std::uint16_t TByteCursor::U16()
{
    return Little16(Take(2).data());
}

std::uint32_t TByteCursor::U32()
{
    const std::uint32_t low = U16();
    return low | static_cast<std::uint32_t>(U16()) << 16;
}

double TByteCursor::F64()
{
    const std::uint64_t bits = U32() | static_cast<std::uint64_t>(U32()) << 32;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TBiffRecords::TBiffRecords(std::string_view stream, std::size_t start) : mStream(stream), mPosition(start)
{
    if (start > stream.size())
        throw Exception(QStringLiteral("A sheet starts at byte %1, past the end of the workbook stream.").arg(start));
}

bool TBiffRecords::Next(TBiffRecord& record)
{
    if (mStream.size() - mPosition < HeaderSize)
        return false;
    const std::size_t size = Little16(mStream.data() + mPosition + 2);
    if (size > mStream.size() - mPosition - HeaderSize)
        throw Exception(QStringLiteral("The record at byte %1 runs past the end of the workbook stream.").arg(mPosition));
    record.Type = Little16(mStream.data() + mPosition);
    record.Data = mStream.substr(mPosition + HeaderSize, size);
    record.Offset = mPosition;
    mPosition += HeaderSize + size;
    return true;
}

double RkValue(std::uint32_t rk)
{
    double value = 0;
    if (rk & 2) {
        value = static_cast<std::int32_t>(rk) >> 2;
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCU) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100 : value;
}
