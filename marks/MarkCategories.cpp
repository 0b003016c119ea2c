#include "marks/MarkCategories.h"

#include <QSettings>

namespace {

const QString Group = QStringLiteral("MarkCategories");

QString NameKey(int category)
{
    return QStringLiteral("%1/%2/Name").arg(Group).arg(category + 1);
}

QString ColorKey(int category)
{
    return QStringLiteral("%1/%2/Color").arg(Group).arg(category + 1);
}

} // namespace

TMarkCategories DefaultMarkCategories()
{
    static const QColor Colors[MarkCategoryCount] = {
        QColor(214, 39, 40),  QColor(31, 119, 180), QColor(44, 160, 44),  QColor(255, 127, 14), QColor(148, 103, 189),
        QColor(140, 86, 75),  QColor(227, 119, 194), QColor(23, 190, 207), QColor(188, 189, 34)};
    TMarkCategories categories;
    for (int i = 0; i < MarkCategoryCount; ++i)
        categories[static_cast<std::size_t>(i)] = {QStringLiteral("Category %1").arg(i + 1), Colors[i]};
    return categories;
}

TMarkCategories LoadMarkCategories()
{
    TMarkCategories categories = DefaultMarkCategories();
    const QSettings settings;
    for (int i = 0; i < MarkCategoryCount; ++i) {
        TMarkCategory& category = categories[static_cast<std::size_t>(i)];
        const QString name = settings.value(NameKey(i)).toString().trimmed();
        if (!name.isEmpty())
            category.Name = name;
        const QColor color(settings.value(ColorKey(i)).toString());
        if (color.isValid())
            category.Color = color;
    }
    return categories;
}

void SaveMarkCategories(const TMarkCategories& categories)
{
    QSettings settings;
    for (int i = 0; i < MarkCategoryCount; ++i) {
        const TMarkCategory& category = categories[static_cast<std::size_t>(i)];
        settings.setValue(NameKey(i), category.Name);
        settings.setValue(ColorKey(i), category.Color.name());
    }
}

int LoadDefaultMarkCategory()
{
    const int category = QSettings().value(Group + QStringLiteral("/Default"), 0).toInt();
    return category >= 0 && category < MarkCategoryCount ? category : 0;
}

void SaveDefaultMarkCategory(int category)
{
    QSettings().setValue(Group + QStringLiteral("/Default"), category);
}

int CategoryOfText(const TMarkCategories& categories, const QString& text)
{
    const QString wanted = text.trimmed();
    for (int i = 0; i < MarkCategoryCount; ++i) {
        if (categories[static_cast<std::size_t>(i)].Name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    bool number = false;
    const int n = wanted.toInt(&number);
    return number && n >= 1 && n <= MarkCategoryCount ? n - 1 : -1;
}
