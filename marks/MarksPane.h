#pragma once

#include "common/DateTime.h"
#include "marks/MarkCategories.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class QToolButton;
class TMarkList;
class TMarksTable;

// The "Marks" pane beside the chart: a filter box, the list of marks and the
// buttons to the previous and the next mark. A click on a row asks for a jump
// to its mark; Delete asks for the selected marks to go. The pane follows the
// list's changes, keeping the selection.
class TMarksPane : public QWidget {
public:
    TMarksPane(TMarkList& marks, QWidget* parent = nullptr);

    void SetStartTime(TDateTime startTime);
    void SetCategories(const TMarkCategories& categories);
    // Shows the list as it is now; called after every change of the list,
    // and done once for many changes in a row.
    void ListChanged();
    // Selects and shows the row of a mark.
    void Select(std::uint64_t id);
    std::vector<std::uint64_t> SelectedIds() const;

    QLineEdit* Filter() const { return mFilter; }
    QTableView* View() const { return mView; }
    QToolButton* PreviousButton() const { return mPrevious; }
    QToolButton* NextButton() const { return mNext; }

    std::function<void(std::uint64_t id)> OnJump;
    std::function<void(const std::vector<std::uint64_t>& ids)> OnDelete;
    std::function<void()> OnPrevious;
    std::function<void()> OnNext;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();

    TMarkList& mMarks;
    TMarksTable* mTable;
    QSortFilterProxyModel* mFiltered;
    QLineEdit* mFilter;
    QTableView* mView;
    QToolButton* mPrevious;
    QToolButton* mNext;
    bool mRefreshQueued = false;
};
