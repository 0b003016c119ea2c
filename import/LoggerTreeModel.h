#pragma once

#include "logger/LoggerFile.h"

#include <QAbstractItemModel>
#include <QString>

#include <vector>

// The channel tree of a logger file for a tree view: groups and channels with
// name, unit, sample count and comment; loadable channels can be ticked, the
// others show why not as their tool tip. A filter text narrows the tree to
// the channels whose name, or whose group's name, holds it, with their
// groups; ticks stay through filtering. Filtering is one pass over the nodes,
// so a tree of 100,000 channels narrows as fast as the user types.
class TLoggerTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum TColumn { NameColumn, UnitColumn, SamplesColumn, CommentColumn, ColumnCount };

    explicit TLoggerTreeModel(QObject* parent = nullptr);

    // Shows these nodes, none ticked, unfiltered.
    void SetNodes(std::vector<TLoggerNode> nodes);
    void SetFilter(const QString& text);
    const QString& Filter() const { return mFilter; }

    // The ticked channels, in the file's order.
    std::vector<int> Ticked() const;
    void SetTicked(int node, bool ticked);
    int NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(int node, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void TickedChanged();

private:
    // Works out which nodes show and where.
    void Layout();
    bool Tickable(int node) const;
    const std::vector<int>& ChildrenOf(int node) const;

    std::vector<TLoggerNode> mNodes;
    std::vector<char> mTicked;
    QString mFilter;
    // The shown children of each node, and the shown nodes at the top.
    std::vector<std::vector<int>> mChildren;
    std::vector<int> mTop;
    // Each shown node's row under its parent; -1 when hidden.
    std::vector<int> mRow;
};
