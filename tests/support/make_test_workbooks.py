#!/usr/bin/python3
"""Writes the workbooks of the tests into the folder given as the argument, or
with a second argument only the workbook of that name from ON_REQUEST.
Each is small and shows one rule of the workbook reader; the damaged ones are
made from sound ones. The .xls workbooks beside the ones xlwt writes are made
record by record here (xlwt writes neither formula results nor booleans and
errors) and put in a compound file by xlwt's writer. Needs Debian's python3-openpyxl, python3-xlsxwriter,
python3-xlwt and python3-odf (run with /usr/bin/python3)."""
import datetime
import os
import struct
import sys
import zipfile
import zlib

import openpyxl
import xlsxwriter
import xlwt
from xlwt.CompoundDoc import XlsDoc
from odf.opendocument import OpenDocumentSpreadsheet
from odf.table import Table, TableCell, TableRow
from odf.text import P

OUT = sys.argv[1]


def path(name):
    return os.path.join(OUT, name)


# The rows of the worksheet that the load tests read, in every format: a
# header of texts, then a time column A and data columns B to D and F. A
# tuple ("number", x) is a time written as a plain number, ("money", x) a
# currency amount.
T = datetime.time
LOAD_ROWS = [
    ["Time", "Speed", "Note", "Temp"],
    [T(7, 59, 59), 9, None, 9],
    [T(8, 0, 0), 1, "a", 10, None, ("money", 12.5)],
    [T(8, 0, 5), 2, "b", "x"],
    [("number", (8 * 3600 + 6) / 86400), None, None, 30],
    [datetime.datetime(2024, 3, 1, 8, 0, 7), 98, None, 98],
    [T(8, 0, 10), 4, None, 40],
    [T(8, 0, 11), 5, None, 50],
    ["08:00:03", 97, None, 97],
]
SHEETS = ["Notes", "Messwerte \u00c4", "Leer"]


def load_xlsx():
    book = openpyxl.Workbook()
    notes = book.active
    notes.title = SHEETS[0]
    notes["A1"] = "see the next sheet"
    sheet = book.create_sheet(SHEETS[1])
    book.create_sheet(SHEETS[2])
    for r, row in enumerate(LOAD_ROWS, start=1):
        for c, value in enumerate(row, start=1):
            if value is None:
                continue
            cell = sheet.cell(row=r, column=c)
            if isinstance(value, tuple):
                cell.value = value[1]
                if value[0] == "money":
                    cell.number_format = '"$"#,##0.00'  # built-in 7
            else:
                cell.value = value
                if isinstance(value, datetime.datetime):
                    cell.number_format = "yyyy-mm-dd hh:mm:ss"
                elif isinstance(value, datetime.time):
                    cell.number_format = "hh:mm:ss"
    book.save(path("load.xlsx"))


def iso_duration(t):
    return "PT%02dH%02dM%02dS" % (t.hour, t.minute, t.second)


def ods_cell(value):
    if value is None:
        return TableCell()
    if isinstance(value, tuple):
        kind = "currency" if value[0] == "money" else "float"
        return TableCell(valuetype=kind, value=repr(value[1]))
    if isinstance(value, datetime.datetime):
        return TableCell(valuetype="date", datevalue=value.isoformat())
    if isinstance(value, datetime.time):
        return TableCell(valuetype="time", timevalue=iso_duration(value))
    if isinstance(value, str):
        cell = TableCell(valuetype="string")
        cell.addElement(P(text=value))
        return cell
    return TableCell(valuetype="float", value=str(value))


def load_ods():
    doc = OpenDocumentSpreadsheet()
    for name in SHEETS:
        table = Table(name=name)
        if name == SHEETS[0]:
            row = TableRow()
            row.addElement(ods_cell("see the next sheet"))
            table.addElement(row)
        if name == SHEETS[1]:
            for values in LOAD_ROWS:
                row = TableRow()
                for value in values:
                    row.addElement(ods_cell(value))
                table.addElement(row)
            # What LibreOffice writes after the last row: the rest of the
            # sheet as one repeated empty row.
            rest = TableRow(numberrowsrepeated=1048576 - len(LOAD_ROWS))
            rest.addElement(TableCell(numbercolumnsrepeated=1024))
            table.addElement(rest)
        doc.spreadsheet.addElement(table)
    doc.save(path("load.ods"))


def load_xls():
    book = xlwt.Workbook()
    time_style = xlwt.easyxf(num_format_str="hh:mm:ss")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
    money_style = xlwt.easyxf(num_format_str='"$"#,##0.00')
    book.add_sheet(SHEETS[0]).write(0, 0, "see the next sheet")
    sheet = book.add_sheet(SHEETS[1])
    book.add_sheet(SHEETS[2])
    for r, row in enumerate(LOAD_ROWS):
        for c, value in enumerate(row):
            if value is None:
                continue
            if isinstance(value, tuple):
                sheet.write(r, c, value[1], money_style if value[0] == "money" else xlwt.Style.default_style)
            elif isinstance(value, datetime.datetime):
                sheet.write(r, c, value, date_style)
            elif isinstance(value, datetime.time):
                sheet.write(r, c, value, time_style)
            else:
                sheet.write(r, c, value)
    # A formula, stored by xlwt without its result.
    sheet.write(2, 4, xlwt.Formula("B3*2"))
    book.save(path("load.xls"))


# BIFF8 records of .xls workbooks.
def record(kind, data):
    return struct.pack("<HH", kind, len(data)) + data


def bof(substream, version=0x0600):
    return record(0x0809, struct.pack("<HHHHII", version, substream, 0x0DBB, 0x07CC, 0, 6))


EOF_RECORD = record(0x000A, b"")


def unicode_string(text, length_format="<H"):
    """A string with its length and the flags byte: 8-bit where it can be."""
    if all(ord(c) < 256 for c in text):
        return struct.pack(length_format + "B", len(text), 0) + text.encode("latin-1")
    return struct.pack(length_format + "B", len(text), 1) + text.encode("utf-16-le")


def cell(row, col, xf):
    """Rows and columns from 1, as the tests count them."""
    return struct.pack("<HHH", row - 1, col - 1, xf)


def number(row, col, value, xf=0):
    return record(0x0203, cell(row, col, xf) + struct.pack("<d", value))


def rk(row, col, rk_value, xf=0):
    return record(0x027E, cell(row, col, xf) + struct.pack("<I", rk_value))


def label(row, col, text, xf=0):
    return record(0x0204, cell(row, col, xf) + unicode_string(text))


def label_sst(row, col, index, xf=0):
    return record(0x00FD, cell(row, col, xf) + struct.pack("<I", index))


def boolerr(row, col, value, error=False, xf=0):
    return record(0x0205, cell(row, col, xf) + struct.pack("<BB", value, 1 if error else 0))


def formula(row, col, result, xf=0):
    """result: a number, a str (then a STRING record follows), True/False, an
    error code as ("error", code) or None for a formula without a result."""
    if isinstance(result, bool):
        stored = struct.pack("<BBBBHH", 1, 0, int(result), 0, 0, 0xFFFF)
    elif isinstance(result, tuple):
        stored = struct.pack("<BBBBHH", 2, 0, result[1], 0, 0, 0xFFFF)
    elif isinstance(result, str):
        stored = struct.pack("<BBBBHH", 0, 0, 0, 0, 0, 0xFFFF)
    elif result is None:
        stored = struct.pack("<BBBBHH", 3, 0, 0, 0, 0, 0xFFFF)
    else:
        stored = struct.pack("<d", result)
    # The formula itself: the constant 1 (tInt); readers take the result.
    data = record(0x0006, cell(row, col, xf) + stored + struct.pack("<HI", 0, 0) + struct.pack("<HBH", 3, 0x1E, 1))
    if isinstance(result, str):
        data += record(0x0207, unicode_string(result))
    return data


def rk_integer(value):
    return ((value << 2) | 2) & 0xFFFFFFFF


def sst(strings, split=None):
    """The shared strings; split=(string index, characters) ends the SST
    record after that many characters of that string, and a CONTINUE record
    goes on with the rest in UTF-16, as Excel writes long tables."""
    head = struct.pack("<II", len(strings), len(strings))
    records = []
    data = head
    for i, text in enumerate(strings):
        if split and split[0] == i:
            cut = split[1]
            data += struct.pack("<HB", len(text), 0) + text[:cut].encode("latin-1")
            records.append(record(0x00FC, data))
            data = b"\x01" + text[cut:].encode("utf-16-le")
            continue
        data += unicode_string(text)
    records.append(record(0x003C if records else 0x00FC, data))
    return b"".join(records)


def biff_stream(sheets, formats=(), cell_formats=(0,), strings=None, date1904=False, version=0x0600,
                hidden=()):
    """A workbook stream: sheets are (name, sheet type, records of the cells);
    formats the custom number formats (id, code); cell_formats the format id
    of each XF; hidden the names of hidden sheets."""
    # CODEPAGE 1200, as Excel writes it in BIFF8.
    head = [bof(0x0005, version), record(0x0042, struct.pack("<H", 1200))]
    if date1904:
        head.append(record(0x0022, struct.pack("<H", 1)))
    head += [record(0x041E, struct.pack("<H", fid) + unicode_string(code)) for fid, code in formats]
    head += [record(0x00E0, struct.pack("<HH", 0, fid) + bytes(16)) for fid in cell_formats]

    def bound_sheets(offsets):
        return [record(0x0085, struct.pack("<IBB", offset, int(name in hidden), kind) + unicode_string(name, "<B"))
                for (name, kind, _), offset in zip(sheets, offsets)]

    tail = [sst(*strings) if strings else b"", EOF_RECORD]
    size = len(b"".join(head + bound_sheets([0] * len(sheets)) + tail))
    offsets = []
    bodies = []
    for name, kind, cells in sheets:
        offsets.append(size)
        body = bof(0x0020 if kind == 2 else 0x0010, version) + cells + EOF_RECORD
        bodies.append(body)
        size += len(body)
    return b"".join(head + bound_sheets(offsets) + tail + bodies)


class ExactSizeDoc(XlsDoc):
    """xlwt's compound file writer, with the stream's true size in the
    directory instead of the size padded to whole sectors."""

    def __init__(self, size):
        XlsDoc.__init__(self)
        self.exact_size = size

    def _build_directory(self):
        padded = self.book_stream_len
        self.book_stream_len = self.exact_size
        XlsDoc._build_directory(self)
        self.book_stream_len = padded


def write_xls(name, stream):
    """Streams under 4096 bytes would go to the mini stream, which the writer
    does not know: the shorter ones get zeros after their last record."""
    stream += bytes(max(0, 4096 - len(stream)))
    ExactSizeDoc(len(stream)).save(path(name), stream)


KINDS_FORMATS = [(164, "yyyy-mm-dd hh:mm:ss"), (165, "hh:mm"), (166, "dd.mm.yyyy"),
                 (167, "#,##0.00 [$\u20ac-407]"), (168, "[h]:mm:ss"), (169, '0.0 "hours"'), (170, "[$-409]0.00"),
                 (171, "mmm d, yyyy h:mm AM/PM"), (172, "hh:mm:ss.000"), (173, "yyyy-mm-dd hh:mm")]
# The XF of each format id: General, the custom ones, then built-in
# currency (7), percent (9), dates (14).
KINDS_XFS = [0] + [fid for fid, _ in KINDS_FORMATS] + [7, 9, 14]


def xf(format_id):
    return KINDS_XFS.index(format_id)


def excel_serial(value):
    if isinstance(value, datetime.datetime):
        return (value - datetime.datetime(1899, 12, 30)).total_seconds() / 86400
    if isinstance(value, datetime.date):
        return float((value - datetime.date(1899, 12, 30)).days)
    return (value.hour * 3600 + value.minute * 60 + value.second + value.microsecond / 1e6) / 86400


KINDS_LABELS = ["datetime", "time", "date", "number", "built-in currency", "euro", "text", "boolean", "error",
                "elapsed", "percent", "quoted", "locale", "am/pm"]


def kinds_xls():
    """The rows of kinds.xlsx as an .xls workbook, the labels of column A
    shared strings (one of them split over a CONTINUE record), beside a
    chart sheet and a hidden worksheet."""
    values = [
        number(1, 2, excel_serial(datetime.datetime(2024, 3, 1, 8, 0)), xf(164)),
        number(2, 2, excel_serial(T(8, 30)), xf(165)),
        number(3, 2, excel_serial(datetime.date(2024, 3, 1)), xf(166)),
        number(4, 2, 0.5),
        number(5, 2, 12.5, xf(7)),
        number(6, 2, 12.5, xf(167)),
        label(7, 2, "abc"),
        boolerr(8, 2, 1),
        boolerr(9, 2, 0x07, error=True),
        number(10, 2, 1.25, xf(168)),
        number(11, 2, 0.25, xf(9)),
        number(12, 2, 7, xf(169)),
        rk(13, 2, rk_integer(3), xf(170)),
        number(14, 2, excel_serial(datetime.datetime(2024, 3, 1, 20, 15)), xf(171)),
    ]
    cells = b"".join(label_sst(r, 1, r - 1) + values[r - 1] for r in range(1, 15))
    # Formatted, but without a value: no part of the used range.
    cells += record(0x0201, cell(16, 4, xf(14)))
    strings = (KINDS_LABELS, (4, 9))
    sheets = [("Kinds", 0, cells), ("Chart", 2, b""), ("Hidden", 0, label_sst(1, 1, 0))]
    write_xls("kinds.xls", biff_stream(sheets, KINDS_FORMATS, KINDS_XFS, strings, hidden=("Hidden",)))
    return sheets, strings


def formulas_xls():
    """The formulas of formulas.xlsx with their stored results, and one
    without any."""
    cells = (label(1, 1, "text") + formula(2, 1, 2.0) + formula(3, 1, "ab") + formula(4, 1, True)
             + formula(5, 1, ("error", 0x07)) + formula(6, 1, 45352.5, xf(173)) + formula(7, 1, None))
    write_xls("formulas.xls", biff_stream([("Formulas", 0, cells)], KINDS_FORMATS, KINDS_XFS))


def date1904_xls():
    cells = (number(1, 1, excel_serial(datetime.datetime(2024, 3, 1, 8, 0)) - 1462, xf(173))
             + number(2, 1, excel_serial(T(8, 30)), xf(165)) + number(3, 1, 0, xf(14)))
    write_xls("date1904.xls", biff_stream([("Dates", 0, cells)], KINDS_FORMATS, KINDS_XFS, date1904=True))


def cells_xls():
    """Sheet "Numbers": the number records of .xls beside NUMBER: RK
    integers, RK hundredths and doubles, a MULRK run over columns B to D,
    blank cells, and a chart drawn on the sheet (its own records inside) that
    adds no cells. Sheet "Load": a time column A and data column B of rows
    that a load skips or keeps (see ExcelLoadTest)."""
    chart = bof(0x0020) + number(40, 1, 99) + EOF_RECORD
    mulrk = record(0x00BD, cell(4, 2, 0)[:4] + struct.pack("<HIHIHI", 0, rk_integer(1), 0, rk_integer(2),
                                                              0, rk_integer(-3)) + struct.pack("<H", 3))
    numbers = (rk(1, 1, rk_integer(1234)) + rk(2, 1, rk_integer(1234) | 1)
               + rk(3, 1, struct.unpack("<Q", struct.pack("<d", 0.5))[0] >> 32) + mulrk + chart
               + record(0x00BE, cell(5, 1, 0)[:4] + struct.pack("<HHH", 0, 0, 2)))
    ms = excel_serial(T(8, 0, 10, 10000))
    load = (label(1, 1, "time") + label(1, 2, "value")
            + number(2, 1, excel_serial(T(8, 0, 1)), xf(172)) + boolerr(2, 2, 1)
            + boolerr(3, 1, 1) + number(3, 2, 5)
            + boolerr(4, 1, 0x2A, error=True) + number(4, 2, 6)
            + number(5, 1, excel_serial(T(8, 0, 2)), xf(7)) + number(5, 2, 7)
            + number(6, 1, ms, xf(172)) + number(6, 2, 8)
            + formula(7, 1, excel_serial(T(8, 0, 3)), xf(165)) + formula(7, 2, 9.0)
            + number(8, 1, excel_serial(T(8, 0, 4)), xf(172)) + formula(8, 2, ("error", 0x07))
            + number(9, 1, excel_serial(T(8, 0, 10)), xf(172)) + number(9, 2, 10))
    write_xls("cells.xls", biff_stream([("Numbers", 0, numbers), ("Load", 0, load)], KINDS_FORMATS, KINDS_XFS))


def damaged_xls(kinds_sheets, kinds_strings):
    """Damaged workbook streams, each in a sound compound file."""
    sound = biff_stream(kinds_sheets, KINDS_FORMATS, KINDS_XFS, kinds_strings)
    first_sheet = sound.index(bof(0x0010))
    # A long row, cut inside its last record.
    long_cells = b"".join(number(1, c, c) for c in range(1, 250))
    long_sheet = biff_stream([("Long", 0, long_cells)])
    write_xls("truncated.xls", long_sheet[:-(len(EOF_RECORD) + 5)])
    # A record whose length goes past the end of the stream.
    past = bytearray(long_sheet)
    struct.pack_into("<H", past, len(past) - len(EOF_RECORD) - len(number(1, 1, 1)) + 2, 0x2000)
    write_xls("length.xls", bytes(past))
    # A shared string index past the table.
    write_xls("sst.xls", biff_stream([("S", 0, label_sst(1, 1, len(KINDS_LABELS)))], strings=kinds_strings))
    # A table whose last string ends before its characters do.
    cut_sst = record(0x00FC, struct.pack("<II", 2, 2) + unicode_string("ab") + struct.pack("<HB", 10, 0) + b"abc")
    sheet = biff_stream([("S", 0, label_sst(1, 1, 0))])
    write_xls("cutsst.xls", sheet.replace(EOF_RECORD, cut_sst + EOF_RECORD, 1))
    write_xls("biff5.xls", biff_stream([("Old", 0, number(1, 1, 1))], version=0x0500))
    write_xls("encrypted.xls", sound[:first_sheet].replace(bof(0x0005), bof(0x0005) + record(0x002F, bytes(6)))
              + sound[first_sheet:])
    write_xls("infinity.xls", biff_stream([("Inf", 0, number(1, 1, 0.5) + number(1, 2, float("inf")))]))
    with open(path("kinds.xls"), "rb") as whole:
        content = whole.read()
    with open(path("cut.xls"), "wb") as out:
        out.write(content[:1000])


def skips_xls():
    """The rows of the "Load" sheet of cells.xls as xlwt writes them, with
    plain numbers and an error cell where that sheet has formulas."""
    book = xlwt.Workbook()
    sheet = book.add_sheet("Skips")
    time_style = xlwt.easyxf(num_format_str="hh:mm:ss.000")
    money_style = xlwt.easyxf(num_format_str='"$"#,##0.00')
    rows = [
        (("time",), ("value",)),
        ((T(8, 0, 1), time_style), (True,)),
        ((True,), (5,)),
        (None, (6,)),
        ((excel_serial(T(8, 0, 2)), money_style), (7,)),
        ((excel_serial(T(8, 0, 10, 10000)), time_style), (8,)),
        ((excel_serial(T(8, 0, 3)), time_style), (9,)),
        ((T(8, 0, 4), time_style), None),
        ((T(8, 0, 10), time_style), (10,)),
    ]
    for r, (time, value) in enumerate(rows):
        if time is None:
            sheet.row(r).set_cell_error(0, 0x2A)  # #N/A
        else:
            sheet.write(r, 0, *time)
        if value is None:
            sheet.row(r).set_cell_error(1, "#DIV/0!")
        else:
            sheet.write(r, 1, *value)
    book.save(path("skips.xls"))


def kinds_xlsx():
    """Column B holds one kind of cell a row; column A says which."""
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Kinds"
    rows = [
        ("datetime", datetime.datetime(2024, 3, 1, 8, 0, 0), "yyyy-mm-dd hh:mm:ss"),
        ("time", T(8, 30), "hh:mm"),
        ("date", datetime.date(2024, 3, 1), "dd.mm.yyyy"),
        ("number", 0.5, None),
        ("built-in currency", 12.5, '"$"#,##0.00_);("$"#,##0.00)'),
        ("euro", 12.5, "#,##0.00 [$\u20ac-407]"),
        ("text", "abc", None),
        ("boolean", True, None),
        ("error", "#DIV/0!", None),
        ("elapsed", 1.25, "[h]:mm:ss"),
        ("percent", 0.25, "0%"),
        ("quoted", 7, '0.0 "hours"'),
        ("locale", 3, "[$-409]0.00"),
        ("am/pm", datetime.datetime(2024, 3, 1, 20, 15), "mmm d, yyyy h:mm AM/PM"),
    ]
    for r, (label, value, number_format) in enumerate(rows, start=1):
        sheet.cell(row=r, column=1, value=label)
        cell = sheet.cell(row=r, column=2, value=value)
        if number_format:
            cell.number_format = number_format
    # Formatted, but without a value: no part of the used range.
    sheet["D16"].number_format = "yyyy-mm-dd"
    book.save(path("kinds.xlsx"))


def formulas_xlsx():
    """Formulas with the results stored beside them; strings inline."""
    book = xlsxwriter.Workbook(path("formulas.xlsx"), {"constant_memory": True})
    sheet = book.add_worksheet("Formulas")
    date_format = book.add_format({"num_format": "yyyy-mm-dd hh:mm"})
    sheet.write_string(0, 0, "inline")
    sheet.write_formula(1, 0, "=1+1", None, 2)
    sheet.write_formula(2, 0, '="a"&"b"', None, "ab")
    sheet.write_formula(3, 0, "=TRUE()", None, True)
    sheet.write_formula(4, 0, "=1/0", None, "#DIV/0!")
    sheet.write_formula(5, 0, "=45352.5", date_format, 45352.5)
    book.close()


def date1904_xlsx():
    book = xlsxwriter.Workbook(path("date1904.xlsx"), {"date_1904": True})
    sheet = book.add_worksheet()
    sheet.write_datetime(0, 0, datetime.datetime(2024, 3, 1, 8, 0), book.add_format({"num_format": "yyyy-mm-dd hh:mm"}))
    sheet.write_datetime(1, 0, T(8, 30), book.add_format({"num_format": "hh:mm"}))
    sheet.write_number(2, 0, 0, book.add_format({"num_format": "yyyy-mm-dd"}))
    book.close()


def range_xlsx():
    """A used range B3:D5: the letters name the worksheet's own columns."""
    book = openpyxl.Workbook()
    sheet = book.active
    sheet["B3"] = "time"
    sheet["C3"] = "x"
    for r, (t, x) in enumerate([(T(8, 0, 1), 1), (T(8, 0, 2), 2)], start=4):
        sheet.cell(row=r, column=2, value=t).number_format = "hh:mm:ss"
        sheet.cell(row=r, column=3, value=x)
    sheet["D5"] = 3
    book.save(path("range.xlsx"))


def write_zip(name, parts, stored_first=None):
    with zipfile.ZipFile(path(name), "w", zipfile.ZIP_DEFLATED) as archive:
        if stored_first:
            archive.writestr(zipfile.ZipInfo(stored_first[0]), stored_first[1], zipfile.ZIP_STORED)
        for part, content in parts:
            archive.writestr(part, content)


def minimal_xlsx(name, sheet_xml):
    """An xlsx package around one hand-written sheet part."""
    write_zip(name, [
        ("[Content_Types].xml",
         '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
         '<Default Extension="xml" ContentType="application/xml"/></Types>'),
        ("_rels/.rels",
         '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"'
         ' Target="xl/workbook.xml"/></Relationships>'),
        ("xl/workbook.xml",
         '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
         ' xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
         '<sheets><sheet name="Only" sheetId="1" r:id="rId1"/></sheets></workbook>'),
        ("xl/_rels/workbook.xml.rels",
         '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet"'
         ' Target="/xl/worksheets/sheet1.xml"/></Relationships>'),
        ("xl/worksheets/sheet1.xml", sheet_xml),
    ])


SHEET_HEAD = '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
SHEET_TAIL = "</sheetData></worksheet>"

ODS_HEAD = ('<?xml version="1.0"?><office:document-content'
            ' xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
            ' xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"'
            ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
            ' xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"'
            ' office:version="1.2"><office:body><office:spreadsheet>')
ODS_TAIL = "</office:spreadsheet></office:body></office:document-content>"


def minimal_ods(name, tables_xml):
    write_zip(name, [
        ("META-INF/manifest.xml",
         '<?xml version="1.0"?><manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
         '<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
         '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/></manifest:manifest>'),
        ("content.xml", ODS_HEAD + tables_xml + ODS_TAIL),
    ], stored_first=("mimetype", "application/vnd.oasis.opendocument.spreadsheet"))


def kinds_ods():
    """One kind of cell a row in column B, as LibreOffice writes them, and
    repeated rows and cells."""
    cells = [
        '<table:table-cell office:value-type="float" office:value="0.5"/>',
        '<table:table-cell office:value-type="percentage" office:value="0.25"/>',
        '<table:table-cell office:value-type="currency" office:currency="EUR" office:value="12.5"/>',
        '<table:table-cell office:value-type="date" office:date-value="2024-03-01T08:00:00"/>',
        '<table:table-cell office:value-type="date" office:date-value="2024-03-01"/>',
        '<table:table-cell office:value-type="time" office:time-value="PT08H30M00S"/>',
        '<table:table-cell office:value-type="boolean" office:boolean-value="true"/>',
        '<table:table-cell office:value-type="string"><text:p>abc</text:p></table:table-cell>',
        '<table:table-cell table:formula="of:=1/0" office:value-type="string" office:string-value=""'
        ' calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>',
    ]
    rows = "".join('<table:table-row><table:table-cell/>%s</table:table-row>' % cell for cell in cells)
    # Row 10: three cells alike from column B; rows 11 and 12: one row twice;
    # then the rest of the sheet, empty.
    rows += ('<table:table-row><table:table-cell/><table:table-cell table:number-columns-repeated="3"'
             ' office:value-type="float" office:value="7"/></table:table-row>'
             '<table:table-row table:number-rows-repeated="2"><table:covered-table-cell/>'
             '<table:table-cell office:value-type="float" office:value="8"/></table:table-row>'
             '<table:table-row table:number-rows-repeated="1048564"><table:table-cell'
             ' table:number-columns-repeated="16384"/></table:table-row>')
    minimal_ods("kinds.ods", '<table:table table:name="Kinds">%s</table:table>' % rows)


def damaged():
    with open(path("load.xlsx"), "rb") as sound:
        content = sound.read()
    with open(path("truncated.xlsx"), "wb") as out:
        out.write(content[: len(content) * 3 // 5])

    # The sheet's compressed bytes changed in the middle.
    with zipfile.ZipFile(path("load.xlsx")) as archive:
        info = archive.getinfo("xl/worksheets/sheet2.xml")
    header = info.header_offset
    name_length = int.from_bytes(content[header + 26:header + 28], "little")
    extra_length = int.from_bytes(content[header + 28:header + 30], "little")
    start = header + 30 + name_length + extra_length
    middle = start + info.compress_size // 2
    broken = bytearray(content)
    for i in range(middle, middle + 8):
        broken[i] ^= 0x5A
    with open(path("corrupt.xlsx"), "wb") as out:
        out.write(bytes(broken))

    # A sheet part of 80 MiB of well-formed XML in an archive of under 100 kB.
    bomb = SHEET_HEAD.encode() + b" " * (80 << 20) + SHEET_TAIL.encode()
    minimal_xlsx("bomb.xlsx", bomb)

    minimal_xlsx("entities.xlsx",
                 '<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]>'
                 '<worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&b;</t></is></c></row>'
                 + SHEET_TAIL)
    minimal_xlsx("column.xlsx", SHEET_HEAD + '<row r="1"><c r="XFE1"><v>1</v></c></row>' + SHEET_TAIL)
    minimal_xlsx("late.xlsx", SHEET_HEAD + '<row r="1"><c r="A1"><v>0.5</v></c><c r="B1"><v>1</v></c></row>'
                 '<row r="2"><c r="A2"><v>0.75</v></c><c r="B2"><v>2</v></c></row>'
                 '<row r="3"><c r="XFE3"><v>3</v></c></row>' + SHEET_TAIL)
    long_value_xlsx("longcell.xlsx", 100000)
    minimal_xlsx("row.xlsx", SHEET_HEAD + '<row r="1048577"><c><v>1</v></c></row>' + SHEET_TAIL)
    minimal_xlsx("malformed.xlsx", SHEET_HEAD + '<row r="1"><c r="A1"><v>1</v></row>' + SHEET_TAIL)
    minimal_ods("rows.ods",
                '<table:table table:name="Rows"><table:table-row table:number-rows-repeated="2000000">'
                '<table:table-cell office:value-type="float" office:value="1"/></table:table-row></table:table>')
    with open(path("text.xlsx"), "w") as out:
        out.write("time,value\n08:00:00,1\n")


def large_xlsx():
    """A million rows at 07:30 (column A) with numbers in B to I: about two
    seconds of loading, for cancelling a load part way. The sheet part of
    over 200 MB packs to a few MB, well within the reader's limits."""
    numbers = "".join("<c><v>%d.25</v></c>" % (k * 1000003) for k in range(1, 8))
    block = "".join('<row><c><v>0.3125</v></c><c><v>%d</v></c>%s</row>' % (i, numbers) for i in range(4000))
    minimal_xlsx("large.xlsx", SHEET_HEAD + block * 250 + SHEET_TAIL)


def long_value_xlsx(name, digits):
    """Times in column A; B1 holds a number of that many digits, B2 the
    number 2."""
    minimal_xlsx(name, SHEET_HEAD + '<row r="1"><c r="A1"><v>0.5</v></c><c r="B1"><v>' + "1" * digits
                 + '</v></c></row><row r="2"><c r="A2"><v>0.75</v></c><c r="B2"><v>2</v></c></row>' + SHEET_TAIL)


# Workbooks that take long to write, made only when a test asks for them by
# name as the second argument. hugecell.xlsx: a cell of 60 MB, within what
# the reader inflates from a small archive.
ON_REQUEST = {"large.xlsx": large_xlsx, "hugecell.xlsx": lambda: long_value_xlsx("hugecell.xlsx", 60 << 20)}


def main():
    os.makedirs(OUT, exist_ok=True)
    if len(sys.argv) > 2:
        # Any other name stays missing, as some tests want it.
        if sys.argv[2] in ON_REQUEST:
            ON_REQUEST[sys.argv[2]]()
        return
    load_xlsx()
    load_ods()
    load_xls()
    kinds_xlsx()
    kinds_ods()
    formulas_xlsx()
    date1904_xlsx()
    range_xlsx()
    damaged()
    kinds_sheets, kinds_strings = kinds_xls()
    formulas_xls()
    date1904_xls()
    cells_xls()
    skips_xls()
    damaged_xls(kinds_sheets, kinds_strings)


if __name__ == "__main__":
    main()
