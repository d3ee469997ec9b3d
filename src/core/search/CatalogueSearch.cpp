#include "core/search/CatalogueSearch.h"

#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"

#include <algorithm>

namespace sorabel {

namespace {
constexpr QChar kSlotEnd = QChar(0);
} // namespace

CatalogueSearch::Query CatalogueSearch::parse(QStringView text, bool ignoreSpacesAndHyphens) {
    Query q;
    // A spacing sound mark typed after its kana (へ゛) is the mark of that
    // kana, as its combining form is.
    QString joined = text.toString();
    for (qsizetype i = 1; i < joined.size(); ++i) {
        const char16_t c = joined[i].unicode(), before = joined[i - 1].unicode();
        const bool kana =
            (before >= 0x3041 && before <= 0x3096) || (before >= 0x30A1 && before <= 0x30FA);
        if (kana && (c == 0x309B || c == 0x309C))
            joined[i] = QChar(char16_t(c - 2)); // U+3099, U+309A
    }
    const QString folded = SearchFold::foldedText(joined);
    // NFKC has made the ideographic and no-break spaces ordinary ones.
    q.words = folded.split(QLatin1Char(' '), Qt::SkipEmptyParts);

    const auto& reachable = foldedCatalogueCharacters();
    const auto cannotBeFound = [&](QStringView folded) {
        return std::any_of(folded.begin(), folded.end(),
                           [&](QChar c) { return !reachable[c.unicode()]; });
    };
    if (std::none_of(q.words.begin(), q.words.end(),
                     [&](const QString& w) { return cannotBeFound(w); })) {
        if (ignoreSpacesAndHyphens) {
            // 村上春樹 finds 村上 春樹, 9784101234565 finds 978-4-10-123456-5.
            static const QString gaps = QStringLiteral(" -\u2010\u2011\u2013\u2014\u2015\u2212");
            static const QString gap =
                QStringLiteral("[ \\-\u2010\u2011\u2013\u2014\u2015\u2212]*");
            QStringList kept;
            for (QString w : q.words) {
                w.removeIf([](QChar c) { return gaps.contains(c); });
                if (w.isEmpty())
                    continue;
                QStringList chars;
                for (QChar c : w)
                    chars << QRegularExpression::escape(QString(c));
                q.loose.emplace_back(chars.join(gap));
                kept << w;
            }
            q.words = kept;
        }
        return q;
    }
    // Name what the user typed, not what it folds to.
    QString bad;
    for (qsizetype i = 0; i < joined.size();) {
        const qsizetype n = joined[i].isHighSurrogate() && i + 1 < joined.size() ? 2 : 1;
        const QString ch = joined.mid(i, n);
        if (!ch.trimmed().isEmpty() && cannotBeFound(SearchFold::foldedText(ch)) &&
            !bad.contains(ch))
            bad += ch;
        i += n;
    }
    q.words.clear();
    q.whyNothing =
        QStringLiteral("「%1」は読書録に記録できない文字なので、見つかる本はありません").arg(bad);
    return q;
}

const std::vector<bool>& CatalogueSearch::foldedCatalogueCharacters() {
    // Every character code page 932 holds, folded: what folded catalogue text
    // can contain. Built once from one decode of all the code page's characters.
    static const std::vector<bool> table = [] {
        std::string all;
        for (int c = 0x20; c < 0x7F; ++c)
            all += static_cast<char>(c);
        for (int c = 0xA1; c <= 0xDF; ++c)
            all += static_cast<char>(c);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F) {
                    all += static_cast<char>(lead);
                    all += static_cast<char>(trail);
                }
        }
        const QString decoded = sjis::decode(all);
        std::vector<bool> out(0x10000, false);
        QString single;
        for (QChar c : decoded) {
            if (c == QChar::ReplacementCharacter || c.unicode() == 0x1A)
                continue;
            single = c;
            for (QChar f : SearchFold::foldedText(single))
                out[f.unicode()] = true;
        }
        out[0] = false; // the end of a field in the prepared texts
        return out;
    }();
    return table;
}

void CatalogueSearch::prepare(const Catalogue& catalogue) {
    if (complete_ && catalogue.recordCount() == recordCount_ && spliceChangedFields(catalogue)) {
        prepareCaptions(catalogue);
        prepared_ = true;
        return;
    }
    // The texts of the last preparation: a field whose bytes have not changed
    // keeps its decoded and folded text, so storing one edited record costs
    // little more than copying.
    const bool reuse = complete_;
    complete_ = false;
    const std::string oldBytes = std::move(bytes_);
    const std::vector<size_t> oldBytesStart = std::move(bytesStart_);
    const QString oldFolded = std::move(folded_);
    const std::vector<qsizetype> oldFoldedStart = std::move(foldedStart_);
    const QString oldSource = std::move(source_);
    const std::vector<qsizetype> oldSourceStart = std::move(sourceStart_);
    std::vector<SearchFold::Origin> oldOrigin = std::move(origin_);
    const size_t oldSlots = reuse ? oldOrigin.size() : 0;

    foldedCatalogueCharacters(); // built here, not on the first keystroke
    recordCount_ = catalogue.recordCount();
    const size_t slotCount = static_cast<size_t>(recordCount_) * kFieldCount;

    // Each Shift-JIS byte gives at most one UTF-16 unit.
    size_t bytes = 0;
    for (int r = 1; r <= recordCount_; ++r)
        for (int f = 0; f < kFieldCount; ++f)
            bytes += catalogue.field(fieldAt(f), r).size();
    bytes_.clear();
    bytes_.reserve(bytes);
    folded_.clear();
    folded_.reserve(static_cast<qsizetype>(bytes + slotCount) + 64);
    source_.clear();
    source_.reserve(static_cast<qsizetype>(bytes));
    bytesStart_.assign(slotCount + 1, 0);
    foldedStart_.assign(slotCount + 1, 0);
    sourceStart_.assign(slotCount + 1, 0);
    origin_.assign(slotCount, {});

    size_t slot = 0;
    for (int r = 1; r <= recordCount_; ++r) {
        for (int f = 0; f < kFieldCount; ++f, ++slot) {
            const std::string_view field = catalogue.field(fieldAt(f), r);
            bytesStart_[slot] = bytes_.size();
            bytes_.append(field);
            sourceStart_[slot] = source_.size();
            foldedStart_[slot] = folded_.size();
            if (slot < oldSlots &&
                std::string_view(oldBytes).substr(
                    oldBytesStart[slot], oldBytesStart[slot + 1] - oldBytesStart[slot]) == field) {
                source_.append(QStringView(oldSource).sliced(
                    oldSourceStart[slot], oldSourceStart[slot + 1] - oldSourceStart[slot]));
                folded_.append(QStringView(oldFolded).sliced(
                    oldFoldedStart[slot], oldFoldedStart[slot + 1] - oldFoldedStart[slot]));
                origin_[slot] = std::move(oldOrigin[slot]);
                continue;
            }
            const QString text = sjis::decode(field);
            source_.append(text);
            origin_[slot] = SearchFold::appendFold(text, folded_);
            folded_.append(kSlotEnd);
        }
    }
    bytesStart_[slotCount] = bytes_.size();
    foldedStart_[slotCount] = folded_.size();
    sourceStart_[slotCount] = source_.size();
    prepareCaptions(catalogue);
    prepared_ = true;
    complete_ = true;
}

// After typing only a few fields differ from the prepared texts: each is
// replaced where it lies and the offsets after it move, instead of the whole
// catalogue's texts being copied again. False (nothing changed) when more
// than a few fields differ.
bool CatalogueSearch::spliceChangedFields(const Catalogue& catalogue) {
    constexpr size_t kMostSpliced = 64;
    std::vector<size_t> changed;
    for (int r = 1; r <= recordCount_; ++r)
        for (int f = 0; f < kFieldCount; ++f) {
            const size_t slot = slotOf(r, fieldAt(f));
            const std::string_view old(bytes_.data() + bytesStart_[slot],
                                       bytesStart_[slot + 1] - bytesStart_[slot]);
            if (old != catalogue.field(fieldAt(f), r)) {
                if (changed.size() == kMostSpliced)
                    return false;
                changed.push_back(slot);
            }
        }
    complete_ = false; // until every change is in
    for (size_t slot : changed) {
        const int record = static_cast<int>(slot / kFieldCount) + 1;
        const std::string_view field =
            catalogue.field(fieldAt(static_cast<int>(slot % kFieldCount)), record);
        const QString text = sjis::decode(field);
        QString folded;
        SearchFold::Origin origin = SearchFold::appendFold(text, folded);
        folded.append(kSlotEnd);
        const auto replace = [slot](auto& buffer, auto& starts, const auto& with) {
            const auto start = starts[slot];
            const auto oldLength = starts[slot + 1] - start;
            buffer.replace(start, oldLength, with);
            const auto grown =
                static_cast<qsizetype>(with.size()) - static_cast<qsizetype>(oldLength);
            for (size_t s = slot + 1; s < starts.size(); ++s)
                starts[s] = static_cast<std::decay_t<decltype(starts[s])>>(
                    static_cast<qsizetype>(starts[s]) + grown);
        };
        replace(bytes_, bytesStart_, field);
        replace(source_, sourceStart_, text);
        replace(folded_, foldedStart_, folded);
        origin_[slot] = std::move(origin);
    }
    complete_ = true;
    return true;
}

void CatalogueSearch::prepareCaptions(const Catalogue& catalogue) {
    for (const FieldInfo& info : fieldTable()) {
        const auto i = static_cast<size_t>(index(info.field));
        QString caption = sjis::decode(
            info.caption > 0 ? catalogue.liveCaptions[static_cast<size_t>(info.caption - 1)]
                             : catalogue.heading(choiceListOf(info.field)));
        if (caption.isEmpty())
            caption = QString::fromUtf8(info.defaultCaption.data(),
                                        static_cast<qsizetype>(info.defaultCaption.size()));
        captions_[i] = caption;
        shown_[i] = catalogue.isShown(info.field);
    }
}

void CatalogueSearch::invalidate() {
    prepared_ = false;
}

template <typename Hit>
void CatalogueSearch::scan(QStringView word, qsizetype begin, qsizetype end, Hit&& hit) const {
    const QStringView range(folded_.constData(), end);
    qsizetype from = begin;
    while (from < end) {
        const qsizetype at = range.indexOf(word, from);
        if (at < 0)
            return;
        const auto next = std::upper_bound(foldedStart_.begin(), foldedStart_.end(), at);
        const auto slot = static_cast<size_t>(next - foldedStart_.begin() - 1);
        hit(slot, at - foldedStart_[slot], word.size());
        from = *next; // one occurrence a field is enough
    }
}

template <typename Hit>
void CatalogueSearch::scan(const QRegularExpression& word, qsizetype begin, qsizetype end,
                           Hit&& hit) const {
    const QStringView range(folded_.constData(), end);
    qsizetype from = begin;
    while (from < end) {
        const auto m = word.match(range, from);
        if (!m.hasMatch())
            return;
        const qsizetype at = m.capturedStart();
        const auto next = std::upper_bound(foldedStart_.begin(), foldedStart_.end(), at);
        const auto slot = static_cast<size_t>(next - foldedStart_.begin() - 1);
        hit(slot, at - foldedStart_[slot], m.capturedLength());
        from = *next; // one occurrence a field is enough
    }
}

std::vector<CatalogueSearch::BookMatch> CatalogueSearch::find(const Query& query,
                                                              std::optional<Field> only) const {
    std::vector<BookMatch> books;
    if (!prepared_ || query.isEmpty() || recordCount_ == 0)
        return books;

    // The first word picks the candidates: one scan of everything, or of one
    // field of every record.
    const auto addFirst = [&](size_t slot, qsizetype at, qsizetype length) {
        const int record = static_cast<int>(slot / kFieldCount) + 1;
        if (books.empty() || books.back().record != record)
            books.push_back({record, {}});
        books.back().fields.push_back({fieldAt(static_cast<int>(slot % kFieldCount)), at, length});
    };
    if (only) {
        for (int r = 1; r <= recordCount_; ++r) {
            const size_t s = slotOf(r, *only);
            scanWord(query, 0, foldedStart_[s], foldedStart_[s + 1] - 1, addFirst);
        }
    } else {
        scanWord(query, 0, 0, folded_.size(), addFirst);
    }

    // Every further word must occur somewhere in each candidate too.
    for (qsizetype w = 1; w < query.words.size() && !books.empty(); ++w) {
        const auto kept = std::remove_if(books.begin(), books.end(), [&](BookMatch& book) {
            bool found = false;
            const auto add = [&](size_t slot, qsizetype at, qsizetype length) {
                found = true;
                const Field f = fieldAt(static_cast<int>(slot % kFieldCount));
                auto it = std::lower_bound(
                    book.fields.begin(), book.fields.end(), f,
                    [](const FieldMatch& m, Field g) { return index(m.field) < index(g); });
                if (it == book.fields.end() || it->field != f)
                    book.fields.insert(it, {f, at, length});
            };
            if (only) {
                const size_t s = slotOf(book.record, *only);
                scanWord(query, w, foldedStart_[s], foldedStart_[s + 1] - 1, add);
            } else {
                const size_t s = slotOf(book.record, Field::Title);
                scanWord(query, w, foldedStart_[s], foldedStart_[s + kFieldCount], add);
            }
            return !found;
        });
        books.erase(kept, books.end());
    }
    return books;
}

CatalogueSearch::Excerpt CatalogueSearch::excerpt(int record, const FieldMatch& match,
                                                  const Query& query, qsizetype width) const {
    Excerpt e;
    if (!prepared_ || record < 1 || record > recordCount_)
        return e;
    const size_t slot = slotOf(record, match.field);
    const SearchFold::Origin& origin = origin_[slot];
    const QStringView source(source_.constData() + sourceStart_[slot],
                             sourceStart_[slot + 1] - sourceStart_[slot]);
    const QStringView folded(folded_.constData() + foldedStart_[slot],
                             foldedStart_[slot + 1] - foldedStart_[slot] - 1);
    const qsizetype a = SearchFold::sourceStart(origin, match.at);
    const qsizetype b = SearchFold::sourceEnd(origin, source.size(), match.at, match.length);

    // A little context before the match, the rest of the width after it.
    qsizetype start = std::max<qsizetype>(0, a - width / 4);
    qsizetype end = std::min(source.size(), std::max(b, start + width));
    end = std::min(end, start + width);
    if (start > 0 && source[start].isLowSurrogate())
        --start;
    if (end < source.size() && source[end].isLowSurrogate())
        ++end;

    const QString lead = start > 0 ? QStringLiteral("…") : QString();
    e.text = lead + source.sliced(start, end - start).toString();
    for (QChar& c : e.text)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    if (end < source.size())
        e.text += QStringLiteral("…");

    const auto mark = [&](qsizetype at, qsizetype length) {
        const qsizetype s = std::max(start, SearchFold::sourceStart(origin, at));
        const qsizetype t = std::min(end, SearchFold::sourceEnd(origin, source.size(), at, length));
        if (s < t)
            e.highlights.emplace_back(lead.size() + s - start, t - s);
    };
    if (query.loose.empty()) {
        for (const QString& word : query.words)
            for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1))
                mark(at, word.size());
    } else {
        for (const QRegularExpression& word : query.loose)
            for (auto it = word.globalMatch(folded); it.hasNext();) {
                const auto m = it.next();
                if (m.capturedLength() > 0)
                    mark(m.capturedStart(), m.capturedLength());
            }
    }
    // Overlapping words become one marked range.
    std::sort(e.highlights.begin(), e.highlights.end());
    std::vector<std::pair<qsizetype, qsizetype>> merged;
    for (const auto& [s, n] : e.highlights) {
        if (!merged.empty() && s <= merged.back().first + merged.back().second)
            merged.back().second =
                std::max(merged.back().first + merged.back().second, s + n) - merged.back().first;
        else
            merged.emplace_back(s, n);
    }
    e.highlights = std::move(merged);
    return e;
}

QString CatalogueSearch::text(int record, Field f) const {
    if (!prepared_ || record < 1 || record > recordCount_)
        return {};
    const size_t slot = slotOf(record, f);
    return source_.mid(sourceStart_[slot], sourceStart_[slot + 1] - sourceStart_[slot]);
}

} // namespace sorabel
