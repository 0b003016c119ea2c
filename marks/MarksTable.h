#pragma once

#include "common/DateTime.h"
#include "marks/MarkCategories.h"

#include <QAbstractTableModel>

#include <cstdint>

class TMarkList;

// The marks as rows: the time on the chart's clock (hh:mm:ss.zzz), the
// length of a span, the category and the note, which is edited in place (an
// undoable change of the list).
class TMarksTable : public QAbstractTableModel {
public:
    enum TColumn { TimeColumn, LengthColumn, CategoryColumn, NoteColumn, ColumnCount };

    explicit TMarksTable(TMarkList& marks, QObject* parent = nullptr);

    void SetStartTime(TDateTime startTime);
    void SetCategories(const TMarkCategories& categories);
    // Rows and columns again after the list changed.
    void Refresh();
    std::uint64_t IdAt(int row) const;
    int RowOf(std::uint64_t id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    TMarkList& mMarks;
    TDateTime mStartTime = 0;
    TMarkCategories mCategories = DefaultMarkCategories();
};
