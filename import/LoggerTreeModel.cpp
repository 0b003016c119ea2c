#include "import/LoggerTreeModel.h"

#include <QLocale>

TLoggerTreeModel::TLoggerTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void TLoggerTreeModel::SetNodes(std::vector<TLoggerNode> nodes)
{
    beginResetModel();
    mNodes = std::move(nodes);
    mTicked.assign(mNodes.size(), 0);
    mFilter.clear();
    Layout();
    endResetModel();
    emit TickedChanged();
}

void TLoggerTreeModel::SetFilter(const QString& text)
{
    if (text == mFilter)
        return;
    beginResetModel();
    mFilter = text;
    Layout();
    endResetModel();
}

void TLoggerTreeModel::Layout()
{
    const std::size_t count = mNodes.size();
    // A node matches when its name or a group it lies in holds the text
    // (parents come before their children); a group shows when it matches or
    // a node in it shows.
    std::vector<char> shown(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const int parent = mNodes[i].Parent;
        shown[i] = mFilter.isEmpty() || (parent >= 0 && shown[std::size_t(parent)])
                   || mNodes[i].Name.contains(mFilter, Qt::CaseInsensitive);
    }
    for (std::size_t i = count; i-- > 0;) {
        const int parent = mNodes[i].Parent;
        if (shown[i] && parent >= 0)
            shown[std::size_t(parent)] = 1;
    }
    mChildren.assign(count, {});
    mTop.clear();
    mRow.assign(count, -1);
    for (std::size_t i = 0; i < count; ++i) {
        if (!shown[i])
            continue;
        const int parent = mNodes[i].Parent;
        std::vector<int>& siblings = parent >= 0 ? mChildren[std::size_t(parent)] : mTop;
        mRow[i] = int(siblings.size());
        siblings.push_back(int(i));
    }
}

const std::vector<int>& TLoggerTreeModel::ChildrenOf(int node) const
{
    return node >= 0 ? mChildren[std::size_t(node)] : mTop;
}

bool TLoggerTreeModel::Tickable(int node) const
{
    const TLoggerNode& n = mNodes[std::size_t(node)];
    return n.Channel && n.Unloadable.isEmpty();
}

std::vector<int> TLoggerTreeModel::Ticked() const
{
    std::vector<int> ticked;
    for (std::size_t i = 0; i < mTicked.size(); ++i)
        if (mTicked[i])
            ticked.push_back(int(i));
    return ticked;
}

void TLoggerTreeModel::SetTicked(int node, bool ticked)
{
    if (node < 0 || std::size_t(node) >= mNodes.size() || !Tickable(node) || bool(mTicked[std::size_t(node)]) == ticked)
        return;
    mTicked[std::size_t(node)] = ticked;
    const QModelIndex index = IndexOf(node);
    if (index.isValid())
        emit dataChanged(index, index, {Qt::CheckStateRole});
    emit TickedChanged();
}

int TLoggerTreeModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? int(index.internalId()) : -1;
}

QModelIndex TLoggerTreeModel::IndexOf(int node, int column) const
{
    if (node < 0 || std::size_t(node) >= mNodes.size() || mRow[std::size_t(node)] < 0)
        return {};
    return createIndex(mRow[std::size_t(node)], column, quintptr(node));
}

QModelIndex TLoggerTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const std::vector<int>& children = ChildrenOf(NodeOf(parent));
    if (row < 0 || std::size_t(row) >= children.size() || column < 0 || column >= ColumnCount)
        return {};
    return createIndex(row, column, quintptr(children[std::size_t(row)]));
}

QModelIndex TLoggerTreeModel::parent(const QModelIndex& child) const
{
    const int node = NodeOf(child);
    return node < 0 ? QModelIndex() : IndexOf(mNodes[std::size_t(node)].Parent);
}

int TLoggerTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(ChildrenOf(NodeOf(parent)).size());
}

int TLoggerTreeModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

QVariant TLoggerTreeModel::data(const QModelIndex& index, int role) const
{
    const int node = NodeOf(index);
    if (node < 0)
        return {};
    const TLoggerNode& n = mNodes[std::size_t(node)];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return n.Name;
        case UnitColumn:
            return n.Unit;
        case SamplesColumn:
            return n.Channel ? QLocale().toString(n.SampleCount) : QString();
        case CommentColumn:
            return n.Comment;
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (index.column() == NameColumn && Tickable(node))
            return mTicked[std::size_t(node)] ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        if (!n.Unloadable.isEmpty())
            return QStringLiteral("Cannot be loaded: %1").arg(n.Unloadable);
        return n.Comment.isEmpty() ? QVariant() : QVariant(n.Comment);
    case Qt::TextAlignmentRole:
        if (index.column() == SamplesColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

bool TLoggerTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int node = NodeOf(index);
    if (role != Qt::CheckStateRole || node < 0 || !Tickable(node))
        return false;
    SetTicked(node, value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags TLoggerTreeModel::flags(const QModelIndex& index) const
{
    const int node = NodeOf(index);
    if (node < 0)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == NameColumn && Tickable(node))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TLoggerTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case UnitColumn:
        return QStringLiteral("Unit");
    case SamplesColumn:
        return QStringLiteral("Samples");
    case CommentColumn:
        return QStringLiteral("Comment");
    default:
        return {};
    }
}
