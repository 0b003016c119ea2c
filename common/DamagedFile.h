#pragma once

#include <QString>

// Renames `fileName` to the first free name of "<fileName>.damaged",
// "<fileName>.damaged.1", ... and returns that name; never replaces a file.
// For a file that could not be read and is about to be written anew: it is
// kept for the user instead of being lost.
// Throws "Cannot keep file ..." with the system's error text.
QString KeepDamagedFile(const QString& fileName);
