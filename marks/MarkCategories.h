#pragma once

#include "marks/Mark.h"

#include <QColor>
#include <QString>

#include <array>

// What a category is called and the colour its marks are drawn in.
struct TMarkCategory {
    QString Name;
    QColor Color;
};
using TMarkCategories = std::array<TMarkCategory, MarkCategoryCount>;

// "Category 1" to "Category 9" in nine colours that tell apart on white.
TMarkCategories DefaultMarkCategories();
// The categories as the user last named and coloured them; the defaults
// where nothing is kept.
TMarkCategories LoadMarkCategories();
void SaveMarkCategories(const TMarkCategories& categories);
// The category a new mark takes unless a number key says otherwise.
int LoadDefaultMarkCategory();
void SaveDefaultMarkCategory(int category);

// The category that a text read from a file names: a category's name (in any
// case) or its number from 1 to 9; -1 when it names none.
int CategoryOfText(const TMarkCategories& categories, const QString& text);
