#!/usr/bin/python3
"""Writes the workbook of `plotreel-bench xlsx`: ROWS rows (200,000 unless
given) of a date-formatted time column, 10 ms apart from 1 March 2024 07:00,
and five columns of random numbers, into PATH; with a third argument
"newest-first" the same rows in the opposite order. Needs python3-xlsxwriter."""
import datetime
import random
import sys

import xlsxwriter


def main():
    path = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 200000
    book = xlsxwriter.Workbook(path, {"constant_memory": True})
    sheet = book.add_worksheet("Data")
    time_format = book.add_format({"num_format": "yyyy-mm-dd hh:mm:ss.000"})
    start = datetime.datetime(2024, 3, 1, 7, 0, 0)
    newest_first = len(sys.argv) > 3 and sys.argv[3] == "newest-first"
    values = random.Random(7)
    # Drawn in time order, so that both orders hold the same rows; written
    # row by row, as the constant-memory mode needs.
    numbers = [[round(values.uniform(-1000, 1000), 3 + column) for column in range(1, 6)] for _ in range(rows)]
    for row in range(rows):
        i = rows - 1 - row if newest_first else row
        sheet.write_datetime(row, 0, start + datetime.timedelta(milliseconds=10 * i), time_format)
        for column in range(1, 6):
            sheet.write_number(row, column, numbers[i][column - 1])
    book.close()


if __name__ == "__main__":
    main()
