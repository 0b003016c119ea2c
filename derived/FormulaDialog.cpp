#include "derived/FormulaDialog.h"

#include "common/Fonts.h"
#include "derived/Formula.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

TfrmFormula::TfrmFormula(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("New Series from Formula"));
    setFont(ArialFont(13));

    edtFormula = new QLineEdit(this);
    edtFormula->setAccessibleName(QStringLiteral("Formula"));
    edtFormula->setPlaceholderText(QStringLiteral("sqrt(a1^2 + a2^2)"));
    edtTitle = new QLineEdit(this);
    edtTitle->setAccessibleName(QStringLiteral("Title"));
    edtUnit = new QLineEdit(this);
    edtUnit->setAccessibleName(QStringLiteral("Unit"));

    lvwNames = new QTableWidget(0, 2, this);
    lvwNames->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Series")});
    lvwNames->horizontalHeader()->setStretchLastSection(true);
    lvwNames->verticalHeader()->hide();
    lvwNames->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwNames->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwNames->setAccessibleName(QStringLiteral("Series names"));
    lvwNames->setToolTip(QStringLiteral("Double-click a name to put it into the formula."));
    connect(lvwNames, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        edtFormula->insert(lvwNames->item(row, 0)->text());
        edtFormula->setFocus();
    });

    auto* help = new QLabel(
        QStringLiteral("+ - * / ^ ( ), numbers with a point, abs sqrt exp log sin cos min max if(c, a, b);\n"
                       "ddt(x), integral(x), mean(x, s), rms(x, s), shift(x, s), cfc(x, 60|180|600|1000).\n"
                       "Computed at the times of the first series named; a gap where a series has no points."),
        this);
    help->setWordWrap(true);

    lblMessage = new QLabel(this);
    lblMessage->setWordWrap(true);
    lblMessage->hide();

    btnAdd = new QPushButton(QStringLiteral("Add"), this);
    btnAdd->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(btnAdd, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(btnAdd, &QPushButton::clicked, this, [this] { AddClick(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Formula:"), edtFormula);
    form->addRow(QStringLiteral("Title:"), edtTitle);
    form->addRow(QStringLiteral("Unit:"), edtUnit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    layout->addLayout(form);
    layout->addWidget(help);
    layout->addWidget(lvwNames, 1);
    layout->addWidget(buttons);
    resize(560, 460);
}

bool TfrmFormula::Run(const QStringList& titles, const QString& formula, const QString& title, const QString& unit,
                      const QStringList& notes, bool editing)
{
    setWindowTitle(editing ? QStringLiteral("Edit Formula") : QStringLiteral("New Series from Formula"));
    btnAdd->setText(editing ? QStringLiteral("Recompute") : QStringLiteral("Add"));
    mNames = SeriesNames(titles);
    lvwNames->setRowCount(0);
    for (const TSeriesName& name : mNames) {
        const int row = lvwNames->rowCount();
        lvwNames->insertRow(row);
        lvwNames->setItem(row, 0, new QTableWidgetItem(name.Name));
        lvwNames->setItem(row, 1, new QTableWidgetItem(titles.at(name.Series)));
    }
    edtFormula->setText(formula);
    edtTitle->setText(title);
    edtUnit->setText(unit);
    if (notes.isEmpty())
        lblMessage->hide();
    else
        ShowMessage(notes.join(QLatin1Char('\n')), true);
    edtFormula->setFocus();
    return exec() == QDialog::Accepted;
}

QString TfrmFormula::Formula() const
{
    return edtFormula->text().trimmed();
}

QString TfrmFormula::Title() const
{
    const QString title = edtTitle->text().trimmed();
    return title.isEmpty() ? Formula() : title;
}

QString TfrmFormula::Unit() const
{
    return edtUnit->text().trimmed();
}

void TfrmFormula::ShowMessage(const QString& text, bool problem)
{
    lblMessage->setText(text);
    lblMessage->setStyleSheet(problem ? QStringLiteral("color: #b00000;") : QString());
    lblMessage->show();
}

void TfrmFormula::AddClick()
{
    try {
        const TFormula formula(Formula(), mNames);
    } catch (const TFormulaError& error) {
        ShowMessage(error.Message(), true);
        edtFormula->setFocus();
        // The columns count from the formula's first character that is no space.
        const int lead = std::max(static_cast<int>(edtFormula->text().indexOf(Formula())), 0);
        edtFormula->setCursorPosition(lead + error.Column() - 1);
        return;
    }
    accept();
}
