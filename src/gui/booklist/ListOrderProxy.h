#pragma once

#include <QAbstractProxyModel>
#include <functional>
#include <vector>

namespace sorabel {

// The rows of the book list in the order the user sorted them for viewing,
// without changing the catalogue. Without such an order (the usual case) it
// passes every row through in catalogue order. A view order lasts until the
// records themselves are added, removed, reordered or replaced: then the
// rows return to catalogue order.
class ListOrderProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit ListOrderProxy(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    // Proxy row r shows source row order[r]; `order` names every source row once.
    void setOrder(std::vector<int> order);
    void clearOrder();
    bool isCatalogueOrder() const { return order_.empty(); }
    int sourceRow(int row) const;
    int rowOfSource(int sourceRow) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    // The number column follows its rows; it stays even with no field column.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The view order was set or dropped.
    void orderChanged();

private:
    void connectSource(QAbstractItemModel* source);
    // A change of the source's rows: passed through in catalogue order, a
    // reset that drops the view order otherwise.
    void beginRowChange(const std::function<void()>& passThrough);
    void endRowChange(const std::function<void()>& passThrough);

    std::vector<int> order_;   // proxy row -> source row; empty: the same row
    std::vector<int> inverse_; // source row -> proxy row
    bool resetting_ = false;
    std::vector<QMetaObject::Connection> connections_;
};

} // namespace sorabel
