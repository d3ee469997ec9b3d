#pragma once

#include "core/catalogue/FieldTable.h"
#include "core/text/SearchFold.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sorabel {

class Catalogue;

// Finds books by words in any of their fields. The texts of every record are
// decoded and folded once (see SearchFold) into one buffer, record after
// record, so that each keystroke's search is a plain scan of that buffer.
//
// The prepared texts are a copy: after a change to the records call
// invalidate() (or prepare() again); a search on stale texts finds nothing.
class CatalogueSearch {
public:
    // The words of a query, folded. Empty when the query has no words or
    // holds a character whose folded form no text of the catalogue can have:
    // such a query matches nothing, and `whyNothing` says so to the user.
    struct Query {
        QStringList words;
        QString whyNothing;
        // When spaces and hyphens inside names and ISBNs are ignored: each
        // word as a pattern that allows them between its characters.
        std::vector<QRegularExpression> loose;
        bool isEmpty() const { return words.isEmpty(); }
    };

    // A field of a found book: where the first of the words found in it lies,
    // in folded offsets of that field.
    struct FieldMatch {
        Field field;
        qsizetype at;
        qsizetype length;
    };

    struct BookMatch {
        int record;
        std::vector<FieldMatch> fields; // display order
    };

    // A short piece of a field around a match, on one line, with every word of
    // the query marked as (start, length) ranges of `text`.
    struct Excerpt {
        QString text;
        std::vector<std::pair<qsizetype, qsizetype>> highlights;
    };

    // The query is folded before anything else, so that a character the
    // catalogue cannot hold still finds what it folds to (ゔ finds ヴ, a
    // combining or spacing sound mark joins its kana, a no-break space
    // separates words).
    static Query parse(QStringView text, bool ignoreSpacesAndHyphens = false);

    void prepare(const Catalogue& catalogue);
    void invalidate();
    bool isPrepared() const { return prepared_; }

    // Books in which every word of the query occurs in some field (or in
    // `only`), in record order.
    std::vector<BookMatch> find(const Query& query, std::optional<Field> only = {}) const;

    Excerpt excerpt(int record, const FieldMatch& match, const Query& query,
                    qsizetype width = 40) const;

    // What the records held when they were prepared.
    int recordCount() const { return recordCount_; }
    QString text(int record, Field f) const;
    QString caption(Field f) const { return captions_[static_cast<size_t>(index(f))]; }
    bool isShown(Field f) const { return shown_[static_cast<size_t>(index(f))]; }

private:
    static const std::vector<bool>& foldedCatalogueCharacters();
    bool spliceChangedFields(const Catalogue& catalogue);
    void prepareCaptions(const Catalogue& catalogue);
    static size_t slotOf(int record, Field f) {
        return static_cast<size_t>(record - 1) * kFieldCount + static_cast<size_t>(index(f));
    }
    // Calls hit(slot, offset in slot) for the first occurrence of word in each
    // slot that overlaps the folded range [begin, end).
    template <typename Hit>
    void scan(QStringView word, qsizetype begin, qsizetype end, Hit&& hit) const;
    template <typename Hit>
    void scan(const QRegularExpression& word, qsizetype begin, qsizetype end, Hit&& hit) const;
    // Word w of the query, as text or as its loose pattern.
    template <typename Hit>
    void scanWord(const Query& query, qsizetype w, qsizetype begin, qsizetype end,
                  Hit&& hit) const {
        if (query.loose.empty())
            scan(QStringView(query.words[w]), begin, end, hit);
        else
            scan(query.loose[static_cast<size_t>(w)], begin, end, hit);
    }

    bool prepared_ = false;
    bool complete_ = false; // the texts below belong together (a preparation ended)
    int recordCount_ = 0;
    std::string bytes_; // the fields as prepared, to see what a later change left alone
    std::vector<size_t> bytesStart_;
    // Every field's folded text followed by a NUL, record by record in display order.
    QString folded_;
    std::vector<qsizetype> foldedStart_; // per slot, plus the end
    QString source_;
    std::vector<qsizetype> sourceStart_; // per slot, plus the end
    std::vector<SearchFold::Origin> origin_;
    std::array<QString, kFieldCount> captions_;
    std::array<bool, kFieldCount> shown_{};
};

} // namespace sorabel
