#pragma once

#include "core/search/CatalogueSearch.h"

#include <QAbstractListModel>
#include <vector>

namespace sorabel {

// The books a search found, one row each. The display text is the book's
// heading (record number, title, author); the matching fields with their
// excerpts are made only for the rows that are drawn, so a keystroke that
// finds all 2000 books costs no more than the search itself.
class SearchResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { RecordRole = Qt::UserRole + 1, FieldCountRole };

    // One matching field: "caption：excerpt" with the marked ranges of `text`.
    struct Line {
        QString text;
        std::vector<std::pair<qsizetype, qsizetype>> highlights;
        qsizetype captionLength = 0;
    };

    explicit SearchResultModel(const CatalogueSearch& search, QObject* parent = nullptr);

    void setResults(CatalogueSearch::Query query, std::vector<CatalogueSearch::BookMatch> books);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int record(int row) const;
    int rowOfRecord(int record) const; // -1 when the book is not in the results
    // The first `maxLines` matching fields of a row.
    std::vector<Line> lines(int row, int maxLines) const;

private:
    QString heading(int row) const;

    const CatalogueSearch& search_;
    CatalogueSearch::Query query_;
    std::vector<CatalogueSearch::BookMatch> books_;
};

} // namespace sorabel
