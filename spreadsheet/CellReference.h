#pragma once

#include <string_view>

// A cell's place as "A1" writes it: column letters (A is 1, XFD is 16384)
// and a row number from 1. Throws an Exception when text is no such
// reference or lies outside the largest worksheet.
void ParseCellReference(std::string_view text, int& column, int& row);
