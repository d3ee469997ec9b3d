#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/text/DateReader.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace sorabel {

// Where a book stands, derived from the three dates the log keeps.
enum class ReadingStatus {
    Finished, // 読了: a readable date finished
    Reading,  // 読書中: a date started but no date finished
    Stacked,  // 積読: a date bought but neither of the others
    Unsorted, // 未分類: no date at all, or a date finished that cannot be read
};
inline constexpr int kStatusCount = 4;

// Which date the counts go by: books finished or books bought.
enum class DateBasis { Finished, Bought };

struct YearCount {
    int year = 0;
    int count = 0;
    bool operator==(const YearCount&) const = default;
};

struct GroupCount {
    QString name; // the field's text, trimmed; empty for books without one
    int count = 0;
    bool operator==(const GroupCount&) const = default;
};

// A record whose date is missing or unreadable, for the user to fix.
struct UndatedRecord {
    int record = 0;
    bool empty = true; // false: there is text, but not a date
    bool operator==(const UndatedRecord&) const = default;
};

// Counts of the reading log by date, genre and format, taken from a
// catalogue at one moment. Records whose 19 fields are all empty are not
// books and are left out of everything. byGroup() reads the genre and format
// texts from the catalogue when asked: build a new one after the catalogue
// changes.
class ReadingStatistics {
public:
    ReadingStatistics() = default;
    explicit ReadingStatistics(const Catalogue& catalogue);

    // Records that are books.
    int bookCount() const { return bookCount_; }
    // Books with a readable date.
    int datedCount(DateBasis basis) const;
    // Years holding at least one readable date, ascending.
    std::vector<int> years(DateBasis basis) const;

    // Books per month of `year`; dates giving only the year count in no month.
    std::array<int, 12> perMonth(DateBasis basis, int year) const;
    // Books in `year`, year-only dates included.
    int yearTotal(DateBasis basis, int year) const;
    // Every year from the first to the last one with a date, gaps as 0.
    std::vector<YearCount> perYear(DateBasis basis) const;
    // Dated books by the text of a genre or format field, in `year` or in all
    // years; most books first, then in Japanese order. Spellings that differ
    // only in letter width, case or kana (SF, ＳＦ, ｓｆ) are one group, named
    // in the spelling most of its books use.
    std::vector<GroupCount> byGroup(DateBasis basis, ChoiceList list,
                                    std::optional<int> year) const;
    // The same over every book, dated or not.
    std::vector<GroupCount> byGroupOfAllBooks(ChoiceList list) const;
    // Books whose date is empty or unreadable, in record order.
    const std::vector<UndatedRecord>& undated(DateBasis basis) const;

    // Book records in each reading status, in record order.
    const std::vector<int>& withStatus(ReadingStatus status) const {
        return status_[static_cast<size_t>(status)];
    }

private:
    struct Dated {
        int record;
        ReadDate date;
    };
    struct Tally {
        std::vector<Dated> dated;
        std::vector<UndatedRecord> undated;
    };
    const Tally& tally(DateBasis basis) const { return tallies_[static_cast<size_t>(basis)]; }

    std::vector<GroupCount> groupsOf(ChoiceList list, const std::vector<int>& records) const;

    const Catalogue* catalogue_ = nullptr;
    int bookCount_ = 0;
    std::vector<int> books_; // records that are books
    std::array<Tally, 2> tallies_;
    std::array<std::vector<int>, kStatusCount> status_;
};

} // namespace sorabel
