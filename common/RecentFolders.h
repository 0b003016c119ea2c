#pragma once

#include <QString>

// The folder that a file dialog, named by `dialog`, last took a file from,
// kept between runs in the user's settings; empty before the first.
QString RecentFolder(const QString& dialog);
// Remembers the folder of a file that the dialog gave.
void RememberFolder(const QString& dialog, const QString& fileName);
