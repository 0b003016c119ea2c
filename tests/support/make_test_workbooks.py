#!/usr/bin/python3
"""Writes the workbooks of the tests into the folder given as the argument, or
with a second argument only the workbook of that name from ON_REQUEST.
Each is small and shows one rule of the workbook reader; the damaged ones are
made from sound ones. Needs Debian's python3-openpyxl, python3-xlsxwriter,
python3-xlwt and python3-odf (run with /usr/bin/python3)."""
import datetime
import os
import sys
import zipfile
import zlib

import openpyxl
import xlsxwriter
import xlwt
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
    # A formula: its result is not in the file for FreeXL.
    sheet.write(2, 4, xlwt.Formula("B3*2"))
    book.save(path("load.xls"))


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


# Workbooks that take long to write, made only when a test asks for them by
# name as the second argument.
ON_REQUEST = {"large.xlsx": large_xlsx}


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


if __name__ == "__main__":
    main()
