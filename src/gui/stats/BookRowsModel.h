#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <vector>

namespace sorabel {

// Rows of books for the statistics tables: one row a record, the cells read
// from the catalogue when a view asks for them. A recount after typing usually
// lists the same books, and then only the shown cells are read again instead
// of thousands of items being made anew.
class BookRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // One column: its header and how a row's text is read (row, record).
    struct Column {
        QString header;
        std::function<QString(int row, int record)> text;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Returns true when the rows or the columns changed shape (the view then
    // fits its columns again), false when only texts may have changed.
    bool setRows(std::vector<Column> columns, std::vector<int> records);

    int record(int row) const { return records_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Column> columns_;
    std::vector<int> records_;
};

} // namespace sorabel
