#!/usr/bin/python3
"""Times the redraws of `plotreel-bench scale` in pyqtgraph: a 1200 x 200 plot
widget of the series in POINTS, redrawn 31 times at the full view and 31 times zoomed
to 1 % of it, the view moved a little before each redraw so that nothing
worked out for one redraw serves the next. A redraw is timed from the range
change to the finished picture on screen. Peak downsampling, clipping to the
view, antialiasing as pyqtgraph's default (off).

POINTS is a file of doubles in the machine's order: the keys of all series,
then the values of each series in turn, SERIES series of the same length.
The views are given as FULL_MIN FULL_MAX ZOOM_MIN ZOOM_MAX, and the shift of
the view before redraw i is i * SHIFT; redraw 0 is not counted. The lines
are PEN_WIDTH pixels wide, as ours. Prints the median milliseconds of
the full and of the zoomed redraws, one a line. Needs python3-pyqtgraph."""
import statistics
import sys
import time

try:
    import numpy
    import pyqtgraph
    from pyqtgraph.Qt import QtCore, QtWidgets
except ImportError as error:
    sys.exit(f"pyqtgraph-scale.py: {error}")

WIDTH = 1200
HEIGHT = 200
REDRAWS = 31


class CountingPlot(pyqtgraph.PlotWidget):
    """A plot widget that counts the times it was painted."""

    def __init__(self):
        super().__init__()
        self.paints = 0

    def paintEvent(self, event):
        super().paintEvent(event)
        self.paints += 1


def redraw_ms(app, plot, low, high, shift):
    """The median milliseconds from a range change to the painted plot."""
    times = []
    for i in range(REDRAWS + 1):
        paints = plot.paints
        begin = time.perf_counter()
        plot.setXRange(low + i * shift, high + i * shift, padding=0)
        while plot.paints == paints:
            app.processEvents()
        # The first redraw is not counted: it meets a cold start.
        if i > 0:
            times.append(time.perf_counter() - begin)
    return statistics.median(times) * 1e3


def main():
    if len(sys.argv) != 9:
        sys.exit("usage: pyqtgraph-scale.py POINTS SERIES FULL_MIN FULL_MAX ZOOM_MIN ZOOM_MAX SHIFT PEN_WIDTH")
    series = int(sys.argv[2])
    full_min, full_max, zoom_min, zoom_max, shift, pen_width = (float(text) for text in sys.argv[3:9])
    data = numpy.fromfile(sys.argv[1], dtype=numpy.float64)
    count = data.size // (series + 1)
    keys = data[:count]

    app = QtWidgets.QApplication(sys.argv[:1])
    plot = CountingPlot()
    plot.resize(WIDTH, HEIGHT)
    plot.setDownsampling(auto=True, mode="peak")
    plot.setClipToView(True)
    plot.getViewBox().disableAutoRange()
    for s in range(series):
        values = data[(s + 1) * count:(s + 2) * count]
        plot.plot(keys, values, pen=pyqtgraph.mkPen(pyqtgraph.intColor(s, series), width=pen_width))
    plot.setYRange(float(data[count:].min()), float(data[count:].max()))
    plot.show()
    deadline = time.perf_counter() + 5
    while not plot.windowHandle() or not plot.windowHandle().isExposed():
        app.processEvents(QtCore.QEventLoop.ProcessEventsFlag.AllEvents, 50)
        if time.perf_counter() > deadline:
            break
    app.processEvents()

    print(f"{redraw_ms(app, plot, full_min, full_max, shift):.3f}")
    print(f"{redraw_ms(app, plot, zoom_min, zoom_max, shift * (zoom_max - zoom_min) / (full_max - full_min)):.3f}")


if __name__ == "__main__":
    main()
