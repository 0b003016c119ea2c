#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The workbook stream of an Excel workbook, read whole out of its OLE2
// compound file (through libgsf): "Workbook", or "Book" of Excel 5.0/95. The stream is never larger than the
// file. Errors are Exceptions whose text says what is wrong, without the
// file's name.
QByteArray ReadXlsWorkbookStream(const QString& fileName);
// The same from a compound file held in memory.
QByteArray ReadXlsWorkbookStream(const void* data, std::size_t size);
