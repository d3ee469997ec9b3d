#include "gui/stats/BookRowsModel.h"

namespace sorabel {

bool BookRowsModel::setRows(std::vector<Column> columns, std::vector<int> records) {
    const auto headers = [](const std::vector<Column>& cs) {
        QStringList out;
        for (const Column& c : cs)
            out << c.header;
        return out;
    };
    if (records == records_ && headers(columns) == headers(columns_)) {
        columns_ = std::move(columns);
        if (!records_.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        return false;
    }
    beginResetModel();
    columns_ = std::move(columns);
    records_ = std::move(records);
    endResetModel();
    return true;
}

int BookRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int BookRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant BookRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Column& column = columns_[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return column.text(index.row(), record(index.row()));
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment | Qt::AlignVCenter);
    case Qt::UserRole:
        return record(index.row());
    default:
        return {};
    }
}

QVariant BookRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columnCount())
        return columns_[static_cast<size_t>(section)].header;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace sorabel
