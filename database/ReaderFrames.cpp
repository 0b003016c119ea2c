#include "database/ReaderFrames.h"

#include <cstring>

namespace {

void AppendUint32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t ReadUint32(const char* data)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[i]);
    return value;
}

} // namespace

void AppendFrame(std::string& out, TReaderFrame kind, std::string_view payload)
{
    out += static_cast<char>(kind);
    AppendUint32(out, static_cast<std::uint32_t>(payload.size()));
    out.append(payload);
}

void AppendTag(std::string& row, TReaderValue tag)
{
    row += static_cast<char>(tag);
}

void AppendNumber(std::string& row, double value)
{
    AppendTag(row, TReaderValue::Number);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    AppendUint32(row, static_cast<std::uint32_t>(bits));
    AppendUint32(row, static_cast<std::uint32_t>(bits >> 32));
}

void AppendText(std::string& row, std::string_view text)
{
    AppendTag(row, TReaderValue::Text);
    AppendUint32(row, static_cast<std::uint32_t>(text.size()));
    row.append(text);
}

bool ParseRow(std::string_view payload, std::vector<TReaderField>& fields)
{
    fields.clear();
    std::size_t at = 0;
    while (at < payload.size()) {
        TReaderField field;
        field.Tag = static_cast<TReaderValue>(payload[at++]);
        switch (field.Tag) {
        case TReaderValue::Null:
        case TReaderValue::Other:
            break;
        case TReaderValue::Number: {
            if (payload.size() - at < 8)
                return false;
            const std::uint64_t bits =
                ReadUint32(payload.data() + at) | (std::uint64_t(ReadUint32(payload.data() + at + 4)) << 32);
            std::memcpy(&field.Number, &bits, sizeof bits);
            at += 8;
            break;
        }
        case TReaderValue::Text: {
            if (payload.size() - at < 4)
                return false;
            const std::uint32_t length = ReadUint32(payload.data() + at);
            at += 4;
            if (payload.size() - at < length)
                return false;
            field.Text.assign(payload.data() + at, length);
            at += length;
            break;
        }
        default:
            return false;
        }
        fields.push_back(std::move(field));
    }
    return true;
}

bool TFrameBuffer::Next(TReaderFrame& kind, std::string& payload)
{
    const std::size_t available = mBytes.size() - mStart;
    if (available < 5)
        return false;
    const std::uint32_t length = ReadUint32(mBytes.data() + mStart + 1);
    if (available - 5 < length)
        return false;
    kind = static_cast<TReaderFrame>(mBytes[mStart]);
    payload.assign(mBytes, mStart + 5, length);
    mStart += 5 + length;
    // What was handed out goes once it is most of the buffer.
    if (mStart > 65536 && mStart * 2 > mBytes.size()) {
        mBytes.erase(0, mStart);
        mStart = 0;
    }
    return true;
}
