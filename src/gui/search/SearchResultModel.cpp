#include "gui/search/SearchResultModel.h"

#include <algorithm>

namespace sorabel {

SearchResultModel::SearchResultModel(const CatalogueSearch& search, QObject* parent)
    : QAbstractListModel(parent), search_(search) {}

void SearchResultModel::setResults(CatalogueSearch::Query query,
                                   std::vector<CatalogueSearch::BookMatch> books) {
    beginResetModel();
    query_ = std::move(query);
    books_ = std::move(books);
    endResetModel();
}

void SearchResultModel::clear() {
    setResults({}, {});
}

int SearchResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(books_.size());
}

int SearchResultModel::record(int row) const {
    return row >= 0 && row < rowCount() ? books_[static_cast<size_t>(row)].record : 0;
}

int SearchResultModel::rowOfRecord(int record) const {
    const auto it =
        std::lower_bound(books_.begin(), books_.end(), record,
                         [](const CatalogueSearch::BookMatch& b, int r) { return b.record < r; });
    return it != books_.end() && it->record == record ? static_cast<int>(it - books_.begin()) : -1;
}

QString SearchResultModel::heading(int row) const {
    const int r = record(row);
    QString title = search_.text(r, Field::Title);
    if (title.isEmpty())
        title = QStringLiteral("（書名なし）");
    const QString author = search_.text(r, Field::Author);
    QString text = QString::number(r) + QStringLiteral("　") + title;
    if (!author.isEmpty())
        text += QStringLiteral("　／　") + author;
    return text;
}

std::vector<SearchResultModel::Line> SearchResultModel::lines(int row, int maxLines) const {
    std::vector<Line> out;
    if (row < 0 || row >= rowCount())
        return out;
    const auto& book = books_[static_cast<size_t>(row)];
    for (const auto& match : book.fields) {
        if (static_cast<int>(out.size()) >= maxLines)
            break;
        Line line;
        line.text = search_.caption(match.field);
        if (!search_.isShown(match.field))
            line.text += QStringLiteral("（非表示）");
        line.text += QStringLiteral("：");
        line.captionLength = line.text.size();
        const auto e = search_.excerpt(book.record, match, query_);
        line.text += e.text;
        for (const auto& [start, length] : e.highlights)
            line.highlights.emplace_back(line.captionLength + start, length);
        out.push_back(std::move(line));
    }
    return out;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto& book = books_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return heading(index.row());
    case Qt::ToolTipRole: {
        QStringList text{heading(index.row())};
        for (const Line& line : lines(index.row(), kFieldCount))
            text << line.text;
        return text.join(u'\n');
    }
    case RecordRole:
        return book.record;
    case FieldCountRole:
        return static_cast<int>(book.fields.size());
    default:
        return {};
    }
}

} // namespace sorabel
