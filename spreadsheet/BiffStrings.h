#pragma once

#include "spreadsheet/BiffRecords.h"

#include <QString>

#include <cstddef>
#include <string_view>
#include <vector>

// The strings of BIFF8 records: 8-bit ("compressed", the low bytes of
// UTF-16) or UTF-16 characters after a length and a flags byte.

// A string with a 16-bit character count (XLUnicodeString), as FORMAT
// records hold their codes.
QString ReadBiffString(TByteCursor& cursor);
// A string with an 8-bit character count, as BOUNDSHEET records hold sheet
// names.
QString ReadShortBiffString(TByteCursor& cursor);

// The number of strings the shared string table (an SST record and the
// CONTINUE records after it) really holds: at most as many as it declares,
// fewer when its records end early at a string's boundary. A string cut off
// inside is an Exception.
std::size_t CountSharedStrings(const std::vector<std::string_view>& records);
