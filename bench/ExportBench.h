#pragma once

// plotreel-bench export: writes a clip of a generated 60 s 1080p30 video
// with sound under a chart of 10 series of 1 million points each (the whole
// video, default settings) and transcodes the same video with ffmpeg's
// command-line program and the same encoder settings, in the same run.
// Prints export_fps and export_vs_ffmpeg (the export's time over ffmpeg's).
// Returns the process exit code.
int RunExportBench(int argc, char** argv);
