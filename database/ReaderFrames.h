#pragma once

// The frames in which the Access reader program hands what it read to the
// program: a kind byte, the payload's length as 32 bits little-endian, the
// payload. Plain C++, for both sides of the pipe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TReaderFrame : char {
    // A table's name, or a column: its libmdb type byte, then its name.
    Name = 'N',
    // A record: one value a column (see TReaderValue).
    Row = 'R',
    // The reader failed; the payload is its message.
    Error = 'E',
    // Everything asked for was sent.
    Done = 'D',
};

// How a value of a record travels.
enum class TReaderValue : char {
    Null = 0,
    // 8 bytes: a double, little-endian.
    Number = 1,
    // 4 bytes of length, then the text (UTF-8).
    Text = 2,
    // A value of a kind that is sent without its content.
    Other = 3,
};

void AppendFrame(std::string& out, TReaderFrame kind, std::string_view payload);
void AppendNumber(std::string& row, double value);
void AppendText(std::string& row, std::string_view text);
void AppendTag(std::string& row, TReaderValue tag);

struct TReaderField {
    TReaderValue Tag = TReaderValue::Null;
    double Number = 0;
    std::string Text;
};

// Splits a record's payload into its values; false when it is malformed.
bool ParseRow(std::string_view payload, std::vector<TReaderField>& fields);

// Bytes as they come from the pipe, handed out a frame at a time.
class TFrameBuffer {
public:
    void Append(const char* data, std::size_t size) { mBytes.append(data, size); }
    // The next whole frame; false while none is complete.
    bool Next(TReaderFrame& kind, std::string& payload);

private:
    std::string mBytes;
    std::size_t mStart = 0;
};
