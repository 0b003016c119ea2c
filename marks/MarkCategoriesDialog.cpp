#include "marks/MarkCategoriesDialog.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

void ShowColor(QPushButton* button, const QColor& color)
{
    QPixmap swatch(24, 14);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setText(color.name());
}

} // namespace

bool RunMarkCategoriesDialog(QWidget* parent, TMarkCategories& categories, int& defaultCategory)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Mark Categories"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Key")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Name")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Colour")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Default")), 0, 3);
    TMarkCategories edited = categories;
    QLineEdit* names[MarkCategoryCount];
    auto* defaults = new QButtonGroup(&dialog);
    for (int i = 0; i < MarkCategoryCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        grid->addWidget(new QLabel(QStringLiteral("M+%1").arg(i + 1)), i + 1, 0);
        names[i] = new QLineEdit(edited[at].Name);
        names[i]->setAccessibleName(QStringLiteral("Name of category %1").arg(i + 1));
        grid->addWidget(names[i], i + 1, 1);
        auto* color = new QPushButton;
        color->setAccessibleName(QStringLiteral("Colour of category %1").arg(i + 1));
        ShowColor(color, edited[at].Color);
        QObject::connect(color, &QPushButton::clicked, &dialog, [&dialog, &edited, at, color] {
            const QColor chosen = QColorDialog::getColor(edited[at].Color, &dialog);
            if (chosen.isValid()) {
                edited[at].Color = chosen;
                ShowColor(color, chosen);
            }
        });
        grid->addWidget(color, i + 1, 2);
        auto* isDefault = new QRadioButton;
        isDefault->setAccessibleName(QStringLiteral("Category %1 is the default").arg(i + 1));
        isDefault->setChecked(i == defaultCategory);
        defaults->addButton(isDefault, i);
        grid->addWidget(isDefault, i + 1, 3, Qt::AlignCenter);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < MarkCategoryCount; ++i) {
        const QString name = names[i]->text().trimmed();
        // A category keeps a name: an emptied one takes its number's.
        edited[static_cast<std::size_t>(i)].Name = name.isEmpty() ? QStringLiteral("Category %1").arg(i + 1) : name;
    }
    categories = edited;
    defaultCategory = std::max(0, defaults->checkedId());
    SaveMarkCategories(categories);
    SaveDefaultMarkCategory(defaultCategory);
    return true;
}
