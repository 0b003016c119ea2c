#pragma once

#include <QString>

// The path of a MATLAB or HDF5 file that tests/logger/write-foreign-files.py
// writes (v5.mat, v5z.mat, v73.mat, plain.h5), written once per test program
// into a temporary folder.
QString ForeignLoggerFile(const char* name);
