#include "gui/booklist/BookListModel.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/text/ShiftJis.h"

namespace sorabel {

BookListModel::BookListModel(const CatalogueSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), fields_(visibleFields()),
      rows_(session.recordCount()) {
    connect(&session, &CatalogueSession::recordsInserted, this, &BookListModel::insertRecords);
    connect(&session, &CatalogueSession::recordsRemoved, this, &BookListModel::removeRecords);
    connect(&session, &CatalogueSession::recordsReordered, this, &BookListModel::reorderRecords);
    connect(&session, &CatalogueSession::recordChanged, this, &BookListModel::changeRecord);
    connect(&session, &CatalogueSession::catalogueReset, this, &BookListModel::resetRecords);
    connect(&session, &CatalogueSession::headerChanged, this, &BookListModel::changeHeader);
}

int BookListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int BookListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

int BookListModel::recordOfRow(int row) const {
    const Pending& p = pending_;
    if (p.count == 0 || row < p.first)
        return row + 1;
    if (p.count > 0)
        return row + p.count + 1;
    return row < p.first - p.count ? 0 : row + p.count + 1;
}

QString BookListModel::oneLine(QString text) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QVariant BookListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int record = recordOfRow(index.row());
    if (record < 1 || record > session_.recordCount())
        return {};
    return oneLine(sjis::decode(session_.catalogue().field(fieldOfColumn(index.column()), record)));
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return section < rows_ ? QVariant(QString::number(section + 1)) : QVariant();
    if (section >= columnCount())
        return {};
    const Catalogue& cat = session_.catalogue();
    const FieldInfo& info = fieldInfo(fieldOfColumn(section));
    const Bytes header = isCombo(info.field)
                             ? cat.heading(choiceListOf(info.field))
                             : cat.storedCaptions[static_cast<size_t>(info.caption - 1)];
    return sjis::decode(header);
}

Qt::ItemFlags BookListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

std::vector<Field> BookListModel::visibleFields() const {
    std::vector<Field> fields;
    for (const FieldInfo& info : fieldTable())
        if (session_.catalogue().isShown(info.field))
            fields.push_back(info.field);
    return fields;
}

void BookListModel::insertRecords(int first, int count) {
    if (count <= 0)
        return;
    pending_ = {first - 1, count};
    beginInsertRows({}, first - 1, first + count - 2);
    rows_ += count;
    pending_ = {};
    endInsertRows();
}

void BookListModel::removeRecords(int first, int count) {
    if (count <= 0)
        return;
    pending_ = {first - 1, -count};
    beginRemoveRows({}, first - 1, first + count - 2);
    rows_ -= count;
    pending_ = {};
    endRemoveRows();
}

void BookListModel::reorderRecords() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void BookListModel::changeRecord(int record) {
    if (record < 1 || record > rows_ || fields_.empty())
        return;
    emit dataChanged(index(record - 1, 0), index(record - 1, columnCount() - 1));
}

void BookListModel::resetRecords() {
    beginResetModel();
    fields_ = visibleFields();
    rows_ = session_.recordCount();
    endResetModel();
}

void BookListModel::changeHeader() {
    // Hidden or shown fields change the columns; anything else only the captions.
    if (visibleFields() != fields_ || rows_ != session_.recordCount())
        resetRecords();
    else if (!fields_.empty())
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

} // namespace sorabel
