#pragma once

class QTemporaryDir;

// Opens a companion file of 10 series of 10 million points (1.6 GB, written
// into `folder`) through the main window and prints
//   bcd_open_vs_read_100m: the seconds of the opening, its one drawing of the
//     chart included, against those of one plain read of the same file;
//   peak_bytes_per_point_100m: the growth of the peak resident size while
//     opening, per point.
void PrintCompanionScaleFigures(const QTemporaryDir& folder);
