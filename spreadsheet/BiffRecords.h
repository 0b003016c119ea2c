#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The records of an Excel 97-2003 (BIFF8) workbook stream, read from the
// stream held whole in memory. Every length is checked against the bytes
// there are: a record or a field that runs past its end is an Exception.

// Record types the workbook reader knows.
namespace BiffType {
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t DateMode = 0x0022;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t RString = 0x00D6;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t Bof = 0x0809;
} // namespace BiffType

// Little-endian fields read one after the other from a span of bytes.
class TByteCursor {
public:
    explicit TByteCursor(std::string_view bytes) : mBytes(bytes) {}

    std::size_t Left() const { return mBytes.size() - mPosition; }
    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    double F64();
    std::string_view Take(std::size_t count);
    void Skip(std::size_t count) { Take(count); }

private:
    std::string_view mBytes;
    std::size_t mPosition = 0;
};

struct TBiffRecord {
    std::uint16_t Type = 0;
    std::string_view Data;
    // Where the record's header starts in the stream.
    std::size_t Offset = 0;
};

// The records of a stream in order, from a position in it.
class TBiffRecords {
public:
    TBiffRecords(std::string_view stream, std::size_t start);

    // The next record; false at the end of the stream.
    bool Next(TBiffRecord& record);
    std::size_t Position() const { return mPosition; }

private:
    std::string_view mStream;
    std::size_t mPosition;
};

// An RK number: a double or a 30-bit integer, either possibly divided by 100.
double RkValue(std::uint32_t rk);
