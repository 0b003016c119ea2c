#include "marks/MarksPane.h"

#include "marks/MarkList.h"
#include "marks/MarksTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Rows whose note or category holds the filter's text, in any case.
class TMarksFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const QString text = filterRegularExpression().pattern();
        if (text.isEmpty())
            return true;
        for (const int column : {TMarksTable::NoteColumn, TMarksTable::CategoryColumn}) {
            if (sourceModel()->index(row, column, parent).data().toString().contains(text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }
};

QToolButton* PaneButton(QWidget* parent, const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

TMarksPane::TMarksPane(TMarkList& marks, QWidget* parent)
    : QWidget(parent), mMarks(marks), mTable(new TMarksTable(marks, this)), mFiltered(new TMarksFilter(this)),
      mFilter(new QLineEdit(this)), mView(new QTableView(this)),
      mPrevious(PaneButton(this, QStringLiteral("\u25C0 Previous"), QStringLiteral("Previous mark ([)"))),
      mNext(PaneButton(this, QStringLiteral("Next \u25B6"), QStringLiteral("Next mark (])")))
{
    setAccessibleName(QStringLiteral("Marks"));
    mFiltered->setSourceModel(mTable);
    mFilter->setPlaceholderText(QStringLiteral("Filter by note or category"));
    mFilter->setAccessibleName(QStringLiteral("Filter marks"));
    mFilter->setClearButtonEnabled(true);
    connect(mFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        // The filter reads the pattern as plain text.
        mFiltered->setFilterRegularExpression(text);
    });

    mView->setModel(mFiltered);
    mView->setAccessibleName(QStringLiteral("Marks list"));
    mView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    mView->verticalHeader()->setVisible(false);
    mView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    mView->horizontalHeader()->setStretchLastSection(true);
    mView->horizontalHeader()->setHighlightSections(false);
    mView->setWordWrap(false);
    mView->setColumnWidth(TMarksTable::TimeColumn, fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.0000")));
    mView->setColumnWidth(TMarksTable::LengthColumn, fontMetrics().horizontalAdvance(QStringLiteral("000.000 s ")));
    mView->setColumnWidth(TMarksTable::CategoryColumn, fontMetrics().horizontalAdvance(QStringLiteral("Category 00 ")) + 16);
    mView->installEventFilter(this);
    connect(mView, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (OnJump && index.isValid())
            OnJump(mTable->IdAt(mFiltered->mapToSource(index).row()));
    });
    connect(mPrevious, &QToolButton::clicked, this, [this] {
        if (OnPrevious)
            OnPrevious();
    });
    connect(mNext, &QToolButton::clicked, this, [this] {
        if (OnNext)
            OnNext();
    });

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(mPrevious);
    buttons->addWidget(mNext);
    buttons->addWidget(mFilter, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(mView, 1);
}

void TMarksPane::SetStartTime(TDateTime startTime)
{
    const std::vector<std::uint64_t> selected = SelectedIds();
    mTable->SetStartTime(startTime);
    for (const std::uint64_t id : selected)
        Select(id);
}

void TMarksPane::SetCategories(const TMarkCategories& categories)
{
    mTable->SetCategories(categories);
}

void TMarksPane::ListChanged()
{
    if (mRefreshQueued)
        return;
    mRefreshQueued = true;
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void TMarksPane::Refresh()
{
    mRefreshQueued = false;
    const std::vector<std::uint64_t> selected = SelectedIds();
    const QModelIndex current = mView->currentIndex();
    const std::uint64_t currentId = current.isValid() ? mTable->IdAt(mFiltered->mapToSource(current).row()) : 0;
    const int currentColumn = current.column();
    mTable->Refresh();
    QItemSelection selection;
    for (const std::uint64_t id : selected) {
        const QModelIndex index = mFiltered->mapFromSource(mTable->index(mTable->RowOf(id), 0));
        if (index.isValid())
            selection.select(index, index.siblingAtColumn(TMarksTable::ColumnCount - 1));
    }
    mView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (currentId) {
        const QModelIndex index = mFiltered->mapFromSource(mTable->index(mTable->RowOf(currentId), currentColumn));
        if (index.isValid())
            mView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

void TMarksPane::Select(std::uint64_t id)
{
    if (mRefreshQueued)
        Refresh();
    const QModelIndex index = mFiltered->mapFromSource(mTable->index(mTable->RowOf(id), 0));
    if (!index.isValid())
        return;
    mView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    mView->scrollTo(index);
}

std::vector<std::uint64_t> TMarksPane::SelectedIds() const
{
    std::vector<std::uint64_t> ids;
    for (const QModelIndex& index : mView->selectionModel()->selectedRows())
        ids.push_back(mTable->IdAt(mFiltered->mapToSource(index).row()));
    return ids;
}

bool TMarksPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mView && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            const std::vector<std::uint64_t> ids = SelectedIds();
            if (OnDelete && !ids.empty())
                OnDelete(ids);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
