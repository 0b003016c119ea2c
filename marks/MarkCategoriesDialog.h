#pragma once

#include "marks/MarkCategories.h"

class QWidget;

// The "Mark Categories" dialog: a name and a colour for each of the nine
// categories, and the one a new mark takes unless a number key says
// otherwise. OK keeps them for the user's next runs too; returns whether
// anything was kept.
bool RunMarkCategoriesDialog(QWidget* parent, TMarkCategories& categories, int& defaultCategory);
