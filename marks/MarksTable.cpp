#include "marks/MarksTable.h"

#include "common/TimeMapping.h"
#include "marks/MarkList.h"
#include "marks/MarksCsv.h"

#include <QLocale>

TMarksTable::TMarksTable(TMarkList& marks, QObject* parent) : QAbstractTableModel(parent), mMarks(marks)
{
}

void TMarksTable::SetStartTime(TDateTime startTime)
{
    mStartTime = startTime;
    Refresh();
}

void TMarksTable::SetCategories(const TMarkCategories& categories)
{
    mCategories = categories;
    Refresh();
}

void TMarksTable::Refresh()
{
    beginResetModel();
    endResetModel();
}

std::uint64_t TMarksTable::IdAt(int row) const
{
    return row >= 0 && row < mMarks.Count() ? mMarks.At(row).Id : 0;
}

int TMarksTable::RowOf(std::uint64_t id) const
{
    return mMarks.IndexOf(id);
}

int TMarksTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mMarks.Count();
}

int TMarksTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TMarksTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= mMarks.Count())
        return {};
    const TMark& mark = mMarks.At(index.row());
    const TMarkCategory& category = mCategories[static_cast<std::size_t>(mark.Category)];
    if (role == Qt::DecorationRole && index.column() == CategoryColumn)
        return category.Color;
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case TimeColumn:
        return MarkClockText(VideoToChartTime(mStartTime, mark.Seconds), false);
    case LengthColumn:
        return mark.IsSpan() ? QLocale().toString(mark.Length, 'f', 3) + QStringLiteral(" s") : QString();
    case CategoryColumn:
        return category.Name;
    case NoteColumn:
        return mark.Note;
    default:
        return {};
    }
}

QVariant TMarksTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const Titles[ColumnCount] = {"Time", "Length", "Category", "Note"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(Titles[section]) : QString();
}

Qt::ItemFlags TMarksTable::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == NoteColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TMarksTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != NoteColumn || index.row() >= mMarks.Count())
        return false;
    mMarks.SetNote(mMarks.At(index.row()).Id, value.toString());
    return true;
}
