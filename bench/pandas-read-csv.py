#!/usr/bin/python3
"""Times pandas.read_csv on PATH the way `plotreel-bench csv` loads it: COMMA,
no header line, the first field read as datetimes. The format of the times is
the one pandas guesses from the first fields, or the first of a few formats of
a time alone that reads one of them, so that pandas converts the column in one
pass. Prints the seconds. Needs python3-pandas."""
import datetime
import sys
import time

try:
    import pandas
    from pandas._libs.tslibs.parsing import guess_datetime_format
except ImportError as error:
    sys.exit(f"pandas-read-csv.py: {error}")

TIME_FORMATS = ["%H:%M:%S.%f", "%H:%M:%S", "%H:%M"]


def reads_as(text, time_format):
    try:
        datetime.datetime.strptime(text, time_format)
        return True
    except ValueError:
        return False


def time_format_of(texts):
    for text in texts:
        guessed = guess_datetime_format(text)
        if guessed:
            return guessed
        for time_format in TIME_FORMATS:
            if reads_as(text, time_format):
                return time_format
    return None


def main():
    start = time.perf_counter()
    frame = pandas.read_csv(sys.argv[1], header=None)
    texts = frame[0].head(10).astype(str)
    frame[0] = pandas.to_datetime(frame[0], format=time_format_of(texts), errors="coerce")
    print(f"{time.perf_counter() - start:.3f}")


if __name__ == "__main__":
    main()
