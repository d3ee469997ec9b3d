#include "core/stats/ReadingStatistics.h"

#include "core/text/Collation.h"
#include "core/text/SearchFold.h"
#include "core/text/ShiftJis.h"

#include <algorithm>
#include <map>

namespace sorabel {

namespace {

// True when the text holds something besides spaces (ASCII or full-width).
bool hasText(std::string_view b) {
    for (size_t i = 0; i < b.size(); ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c == ' ' || c == '\t')
            continue;
        if (c == 0x81 && i + 1 < b.size() && static_cast<unsigned char>(b[i + 1]) == 0x40) {
            ++i;
            continue;
        }
        return true;
    }
    return false;
}

std::optional<ReadDate> dateOf(std::string_view b) {
    // Most dates are typed in ASCII: skip the converter for them.
    if (std::all_of(b.begin(), b.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return readDate(QString::fromLatin1(b.data(), static_cast<qsizetype>(b.size())));
    return readDate(sjis::decode(b));
}

bool isBlankRecord(const Catalogue& c, int record) {
    for (int i = 0; i < kFieldCount; ++i)
        if (!c.field(fieldAt(i), record).empty())
            return false;
    return true;
}

} // namespace

ReadingStatistics::ReadingStatistics(const Catalogue& catalogue) : catalogue_(&catalogue) {
    const Field dateFields[] = {Field::DateFinished, Field::DateBought};
    for (auto& t : tallies_)
        t.dated.reserve(static_cast<size_t>(catalogue.recordCount()));
    for (int r = 1; r <= catalogue.recordCount(); ++r) {
        if (isBlankRecord(catalogue, r))
            continue;
        ++bookCount_;
        books_.push_back(r);
        bool readable[2] = {};
        for (size_t b = 0; b < 2; ++b) {
            const std::string_view text = catalogue.field(dateFields[b], r);
            if (auto date = dateOf(text)) {
                tallies_[b].dated.push_back({r, *date});
                readable[b] = true;
            } else {
                tallies_[b].undated.push_back({r, !hasText(text)});
            }
        }
        const bool finishedEmpty = !hasText(catalogue.field(Field::DateFinished, r));
        ReadingStatus status = ReadingStatus::Unsorted;
        if (readable[0])
            status = ReadingStatus::Finished;
        else if (finishedEmpty && hasText(catalogue.field(Field::DateStarted, r)))
            status = ReadingStatus::Reading;
        else if (finishedEmpty && hasText(catalogue.field(Field::DateBought, r)))
            status = ReadingStatus::Stacked;
        status_[static_cast<size_t>(status)].push_back(r);
    }
}

int ReadingStatistics::datedCount(DateBasis basis) const {
    return static_cast<int>(tally(basis).dated.size());
}

std::vector<int> ReadingStatistics::years(DateBasis basis) const {
    std::vector<int> out;
    for (const Dated& d : tally(basis).dated)
        out.push_back(d.date.year);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::array<int, 12> ReadingStatistics::perMonth(DateBasis basis, int year) const {
    std::array<int, 12> out{};
    for (const Dated& d : tally(basis).dated)
        if (d.date.year == year && d.date.month >= 1)
            ++out[static_cast<size_t>(d.date.month - 1)];
    return out;
}

int ReadingStatistics::yearTotal(DateBasis basis, int year) const {
    const auto& dated = tally(basis).dated;
    return static_cast<int>(std::count_if(dated.begin(), dated.end(),
                                          [&](const Dated& d) { return d.date.year == year; }));
}

std::vector<YearCount> ReadingStatistics::perYear(DateBasis basis) const {
    const auto& dated = tally(basis).dated;
    if (dated.empty())
        return {};
    const auto [lo, hi] =
        std::minmax_element(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) {
            return a.date.year < b.date.year;
        });
    const int first = lo->date.year;
    std::vector<YearCount> out;
    for (int y = first; y <= hi->date.year; ++y)
        out.push_back({y, 0});
    for (const Dated& d : dated)
        ++out[static_cast<size_t>(d.date.year - first)].count;
    return out;
}

std::vector<GroupCount> ReadingStatistics::byGroup(DateBasis basis, ChoiceList list,
                                                   std::optional<int> year) const {
    std::vector<int> records;
    for (const Dated& d : tally(basis).dated)
        if (!year || d.date.year == *year)
            records.push_back(d.record);
    return groupsOf(list, records);
}

std::vector<GroupCount> ReadingStatistics::byGroupOfAllBooks(ChoiceList list) const {
    return groupsOf(list, books_);
}

std::vector<GroupCount> ReadingStatistics::groupsOf(ChoiceList list,
                                                    const std::vector<int>& records) const {
    if (!catalogue_)
        return {};
    // Count by the stored bytes first, so that each distinct text is decoded once.
    const Field field = fieldOfList(list);
    std::map<std::string_view, int> byBytes;
    for (int r : records)
        ++byBytes[catalogue_->field(field, r)];
    // Then by the folded text; each group keeps the count of every spelling.
    struct Group {
        int count = 0;
        std::map<QString, int> spellings;
    };
    std::map<QString, Group> byFold;
    for (const auto& [bytes, count] : byBytes) {
        const QString text = sjis::decode(bytes).trimmed();
        QString key = SearchFold::foldedText(text);
        key.removeIf([](QChar c) { return c.isSpace(); });
        Group& g = byFold[key];
        g.count += count;
        g.spellings[text] += count;
    }

    const Collation& collation = Collation::japanese();
    std::vector<GroupCount> out;
    for (const auto& [key, group] : byFold) {
        const QString* name = nullptr;
        int most = 0;
        for (const auto& [spelling, count] : group.spellings)
            if (count > most || (count == most && collation.compare(spelling, *name) < 0)) {
                name = &spelling;
                most = count;
            }
        out.push_back({*name, group.count});
    }
    std::stable_sort(out.begin(), out.end(), [&](const GroupCount& a, const GroupCount& b) {
        if (a.count != b.count)
            return a.count > b.count;
        return collation.compare(a.name, b.name) < 0;
    });
    return out;
}

const std::vector<UndatedRecord>& ReadingStatistics::undated(DateBasis basis) const {
    return tally(basis).undated;
}

} // namespace sorabel
