#include "gui/booklist/ListOrderProxy.h"

namespace sorabel {

ListOrderProxy::ListOrderProxy(QObject* parent) : QAbstractProxyModel(parent) {}

void ListOrderProxy::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    order_.clear();
    inverse_.clear();
    QAbstractProxyModel::setSourceModel(source);
    if (source)
        connectSource(source);
    endResetModel();
}

void ListOrderProxy::connectSource(QAbstractItemModel* source) {
    using M = QAbstractItemModel;
    auto on = [this, source](auto signal, auto slot) {
        connections_.push_back(connect(source, signal, this, slot));
    };
    on(&M::rowsAboutToBeInserted, [this](const QModelIndex&, int first, int last) {
        beginRowChange([&] { beginInsertRows({}, first, last); });
    });
    on(&M::rowsInserted, [this] { endRowChange([&] { endInsertRows(); }); });
    on(&M::rowsAboutToBeRemoved, [this](const QModelIndex&, int first, int last) {
        beginRowChange([&] { beginRemoveRows({}, first, last); });
    });
    on(&M::rowsRemoved, [this] { endRowChange([&] { endRemoveRows(); }); });
    on(&M::layoutAboutToBeChanged,
       [this] { beginRowChange([&] { emit layoutAboutToBeChanged({}, VerticalSortHint); }); });
    on(&M::layoutChanged,
       [this] { endRowChange([&] { emit layoutChanged({}, VerticalSortHint); }); });
    on(&M::modelAboutToBeReset, [this] { beginRowChange([&] { beginResetModel(); }); });
    on(&M::modelReset, [this] { endRowChange([&] { endResetModel(); }); });
    on(&M::dataChanged, [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
        if (order_.empty()) {
            emit dataChanged(mapFromSource(topLeft), mapFromSource(bottomRight));
            return;
        }
        for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
            const int row = rowOfSource(r);
            emit dataChanged(index(row, topLeft.column()), index(row, bottomRight.column()));
        }
    });
    on(&M::headerDataChanged, [this](Qt::Orientation orientation, int first, int last) {
        if (orientation == Qt::Horizontal)
            emit headerDataChanged(orientation, first, last);
        else
            emit headerDataChanged(orientation, 0, std::max(0, rowCount() - 1));
    });
}

void ListOrderProxy::beginRowChange(const std::function<void()>& passThrough) {
    if (order_.empty()) {
        passThrough();
        return;
    }
    resetting_ = true;
    beginResetModel();
    order_.clear();
    inverse_.clear();
}

void ListOrderProxy::endRowChange(const std::function<void()>& passThrough) {
    if (!resetting_) {
        passThrough();
        return;
    }
    resetting_ = false;
    endResetModel();
    emit orderChanged();
}

void ListOrderProxy::setOrder(std::vector<int> order) {
    const int n = sourceModel() ? sourceModel()->rowCount() : 0;
    if (static_cast<int>(order.size()) != n)
        return;
    std::vector<int> inverse(static_cast<size_t>(n), -1);
    bool identity = true;
    for (int r = 0; r < n; ++r) {
        const int s = order[static_cast<size_t>(r)];
        if (s < 0 || s >= n || inverse[static_cast<size_t>(s)] >= 0)
            return; // not a permutation: keep what is shown
        inverse[static_cast<size_t>(s)] = r;
        identity = identity && s == r;
    }
    emit layoutAboutToBeChanged({}, VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldSource;
    oldSource.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& i : before)
        oldSource.push_back(sourceRow(i.row()));
    order_ = identity ? std::vector<int>() : std::move(order);
    inverse_ = identity ? std::vector<int>() : std::move(inverse);
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOfSource(oldSource[static_cast<size_t>(i)]), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, VerticalSortHint);
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, n - 1));
    emit orderChanged();
}

void ListOrderProxy::clearOrder() {
    if (order_.empty())
        return;
    std::vector<int> identity(order_.size());
    for (size_t i = 0; i < identity.size(); ++i)
        identity[i] = static_cast<int>(i);
    setOrder(std::move(identity));
}

int ListOrderProxy::sourceRow(int row) const {
    if (order_.empty() || row < 0 || row >= static_cast<int>(order_.size()))
        return row;
    return order_[static_cast<size_t>(row)];
}

int ListOrderProxy::rowOfSource(int sourceRow) const {
    if (inverse_.empty() || sourceRow < 0 || sourceRow >= static_cast<int>(inverse_.size()))
        return sourceRow;
    return inverse_[static_cast<size_t>(sourceRow)];
}

QModelIndex ListOrderProxy::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex ListOrderProxy::parent(const QModelIndex&) const {
    return {};
}

int ListOrderProxy::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->rowCount();
}

int ListOrderProxy::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QModelIndex ListOrderProxy::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid() || !sourceModel())
        return {};
    return sourceModel()->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex ListOrderProxy::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid())
        return {};
    return index(rowOfSource(sourceIndex.row()), sourceIndex.column());
}

QVariant ListOrderProxy::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!sourceModel())
        return {};
    if (orientation == Qt::Vertical)
        section = section >= 0 && section < rowCount() ? sourceRow(section) : -1;
    return sourceModel()->headerData(section, orientation, role);
}

} // namespace sorabel
