#pragma once

#include "core/catalogue/FieldTable.h"

#include <QAbstractTableModel>
#include <vector>

namespace sorabel {

class CatalogueSession;

// The records of the open catalogue as a table: row r is record r + 1, one
// column per visible field, in field order. It reads the session's store
// directly and follows its change signals; it holds no copy of the texts.
//
// The session announces a change after making it, while a view expects the
// announcement before; between the two halves this model still answers with
// the old row count and maps old rows onto the new store, so that rows which
// did not move read as they did before.
class BookListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BookListModel(const CatalogueSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Display text: the field with its line breaks shown as spaces.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Horizontal: the field's caption (a choice field the heading of its
    // list); vertical: the record number.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The field shown in a model column.
    Field fieldOfColumn(int column) const { return fields_.at(static_cast<size_t>(column)); }

    // Line breaks (only the impressions have them) as spaces: a cell is one line.
    static QString oneLine(QString text);

private:
    void insertRecords(int first, int count);
    void removeRecords(int first, int count);
    void reorderRecords();
    void changeRecord(int record);
    void resetRecords();
    void changeHeader();
    std::vector<Field> visibleFields() const;
    // The store's record for a row as the view knows it, or 0 when that row
    // is on its way out.
    int recordOfRow(int row) const;

    const CatalogueSession& session_;
    std::vector<Field> fields_;
    int rows_ = 0;
    // A change announced after the fact: rows from `first` (0-based) on,
    // `count` of them, were inserted (count > 0) or removed (count < 0).
    struct Pending {
        int first = 0;
        int count = 0;
    } pending_;
};

} // namespace sorabel
