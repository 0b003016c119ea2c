#!/usr/bin/python3
"""Writes run7.xlsx, the workbook of the README's guide to the Excel File
tab, into the folder given (the current one by default): a worksheet "Run 7"
with a header row, the time of day in column A and two measurements in
columns B and C. Needs Debian's python3-openpyxl."""
import datetime
import os
import sys

import openpyxl


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    book = openpyxl.Workbook()
    book.active.title = "Notes"
    book.active["A1"] = "Run 7, measured from 07:00:01"
    sheet = book.create_sheet("Run 7")
    sheet.append(["time", "speed", "temperature"])
    for i in range(3):
        sheet.append([datetime.time(7, 0, 1 + i, 250000), 1.5 + 0.25 * i, 20.25 + 0.25 * i])
        sheet.cell(row=i + 2, column=1).number_format = "hh:mm:ss.000"
    path = os.path.join(folder, "run7.xlsx")
    book.save(path)
    print(path)


if __name__ == "__main__":
    main()
