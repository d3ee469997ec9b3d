#include "core/catalogue/Catalogue.h"

#include "core/text/ShiftJis.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace sorabel {

namespace {
void checkRecord(int record) {
    if (record < 1 || record > kMaxRecords)
        throw std::out_of_range("record number " + std::to_string(record) + " out of range");
}
} // namespace

Catalogue::Catalogue() {
    makeSlots(count_);
    flags.fill("TRUE");
    lists = defaultLists();
    liveCaptions = defaultCaptions();
}

void Catalogue::makeSlots(int records) {
    for (auto& column : columns_)
        if (column.size() < static_cast<size_t>(records))
            column.resize(static_cast<size_t>(records));
}

Catalogue::Slot& Catalogue::slot(Field f, int record) {
    checkRecord(record);
    makeSlots(record);
    return columns_[static_cast<size_t>(fieldInfo(f).storageColumn)]
                   [static_cast<size_t>(record - 1)];
}

Catalogue::Slot Catalogue::slot(Field f, int record) const {
    checkRecord(record);
    const auto& column = columns_[static_cast<size_t>(fieldInfo(f).storageColumn)];
    return static_cast<size_t>(record) <= column.size() ? column[static_cast<size_t>(record - 1)]
                                                        : Slot{};
}

std::string_view Catalogue::text(Slot s) const {
    if (s.size & kOwn)
        return own_[s.at];
    if (s.size == 0)
        return {};
    return source_.substr(s.at, s.size);
}

void Catalogue::release(Slot& s) {
    if (s.size & kOwn) {
        Bytes().swap(own_[s.at]);
        freeOwn_.push_back(s.at);
    }
    s = Slot{};
}

uint32_t Catalogue::newOwnText() {
    if (freeOwn_.empty()) {
        own_.emplace_back();
        return static_cast<uint32_t>(own_.size() - 1);
    }
    const uint32_t at = freeOwn_.back();
    freeOwn_.pop_back();
    return at;
}

Catalogue::Slot Catalogue::ownCopy(std::string_view text) {
    if (text.empty())
        return Slot{};
    const uint32_t at = newOwnText();
    own_[at].assign(text);
    return Slot{at, kOwn};
}

std::string_view Catalogue::field(Field f, int record) const {
    return text(slot(f, record));
}

void Catalogue::setField(Field f, int record, Bytes text) {
    Slot& s = slot(f, record);
    if (!(s.size & kOwn)) {
        if (text.empty()) {
            s = Slot{};
            return;
        }
        s = Slot{newOwnText(), kOwn};
    }
    own_[s.at] = std::move(text);
}

void Catalogue::keepSource(std::shared_ptr<const void> owner, std::string_view bytes) {
    // Places are 32-bit and texts under 2 GB; a larger source is copied from.
    if (!owner || bytes.size() > std::numeric_limits<uint32_t>::max()) {
        owner.reset();
        bytes = {};
    }
    sourceOwner_ = std::move(owner);
    source_ = bytes;
}

void Catalogue::assignRecord(int record, std::span<const std::string_view, kFieldCount> texts) {
    checkRecord(record);
    makeSlots(record);
    const char* begin = source_.empty() ? nullptr : source_.data();
    const char* end = begin ? begin + source_.size() : nullptr;
    for (const auto& info : fieldTable()) {
        const std::string_view t = texts[static_cast<size_t>(index(info.field))];
        Slot& s =
            columns_[static_cast<size_t>(info.storageColumn)][static_cast<size_t>(record - 1)];
        release(s);
        if (t.empty())
            continue;
        if (begin && t.data() >= begin && t.data() + t.size() <= end && t.size() < kOwn)
            s = Slot{static_cast<uint32_t>(t.data() - begin), static_cast<uint32_t>(t.size())};
        else
            s = ownCopy(t);
    }
}

void Catalogue::clearRecord(int record) {
    checkRecord(record);
    for (auto& column : columns_)
        if (static_cast<size_t>(record) <= column.size())
            release(column[static_cast<size_t>(record - 1)]);
}

void Catalogue::copyRecord(int from, int to) {
    checkRecord(from);
    checkRecord(to);
    if (from == to)
        return;
    makeSlots(std::max(from, to));
    for (auto& column : columns_) {
        Slot& target = column[static_cast<size_t>(to - 1)];
        release(target);
        const Slot source = column[static_cast<size_t>(from - 1)];
        // A text of the catalogue's own belongs to one field only.
        target = (source.size & kOwn) ? ownCopy(own_[source.at]) : source;
    }
}

void Catalogue::resize(int count) {
    if (count < 0 || count > kMaxRecords)
        throw std::out_of_range("record count " + std::to_string(count) + " out of range");
    for (int r = count + 1; r <= count_; ++r)
        clearRecord(r);
    makeSlots(count);
    count_ = count;
}

void Catalogue::removeRecord(int record) {
    checkRecord(record);
    if (record > count_)
        throw std::out_of_range("record beyond the record count");
    for (auto& column : columns_) {
        release(column[static_cast<size_t>(record - 1)]);
        std::copy(column.begin() + record, column.begin() + count_, column.begin() + record - 1);
        column[static_cast<size_t>(count_ - 1)] = Slot{};
    }
    --count_;
}

void Catalogue::insertEmptyRecord(int record) {
    checkRecord(record);
    if (count_ >= kMaxRecords)
        throw std::out_of_range("no room to insert a record");
    if (record > count_ + 1)
        throw std::out_of_range("insert position beyond the end");
    makeSlots(count_ + 1);
    for (auto& column : columns_) {
        std::copy_backward(column.begin() + record - 1, column.begin() + count_,
                           column.begin() + count_ + 1);
        column[static_cast<size_t>(record - 1)] = Slot{};
    }
    ++count_;
}

bool Catalogue::appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records) {
    if (records.size() > static_cast<size_t>(kMaxRecords - count_))
        return false;
    for (const auto& record : records) {
        ++count_;
        for (int i = 0; i < kFieldCount; ++i)
            setField(fieldAt(i), count_, record[static_cast<size_t>(i)]);
    }
    return true;
}

void Catalogue::reorder(const std::vector<int>& order) {
    if (order.size() != static_cast<size_t>(count_))
        throw std::invalid_argument("an order must name every record once");
    std::vector<bool> seen(order.size());
    for (int r : order) {
        if (r < 1 || r > count_ || seen[static_cast<size_t>(r - 1)])
            throw std::invalid_argument("an order must name every record once");
        seen[static_cast<size_t>(r - 1)] = true;
    }
    std::vector<Slot> moved(order.size());
    for (auto& column : columns_) {
        for (size_t i = 0; i < order.size(); ++i)
            moved[i] = column[static_cast<size_t>(order[i] - 1)];
        std::copy(moved.begin(), moved.end(), column.begin());
    }
}

Bytes Catalogue::heading(ChoiceList l) const {
    const auto& entries = list(l);
    return entries.empty() ? Bytes() : entries.front();
}

CatalogueHeader Catalogue::header() const {
    CatalogueHeader h;
    h.captionFont = captionFont;
    h.contentsFont = contentsFont;
    h.flags = flags;
    h.captions = liveCaptions;
    h.lists = lists;
    h.spacing = spacing;
    return h;
}

void Catalogue::setHeader(const CatalogueHeader& h) {
    captionFont = h.captionFont;
    contentsFont = h.contentsFont;
    flags = h.flags;
    liveCaptions = h.captions;
    lists = h.lists;
    spacing = h.spacing;
}

std::array<std::vector<Bytes>, kListCount> Catalogue::defaultLists() {
    auto conv = [](std::initializer_list<const char*> items) {
        std::vector<Bytes> out;
        for (const char* s : items)
            out.push_back(sjis::fromUtf8(s));
        return out;
    };
    return {
        conv({"ジャンル１", "小説", "随筆", "紀行", "論文"}),
        conv({"ジャンル２", "時代小説", "ＳＦ", "ミステリ", "冒険小説", "歴史", "地理", "哲学",
              "思想", "コンピュータ", "インターネット"}),
        conv({"判型", "文庫", "新書", "四六版", "B5版", "A5版"}),
    };
}

std::array<Bytes, kCaptionCount> Catalogue::defaultCaptions() {
    std::array<Bytes, kCaptionCount> out;
    for (const auto& info : fieldTable())
        if (info.caption > 0)
            out[static_cast<size_t>(info.caption - 1)] = sjis::fromUtf8(info.defaultCaption);
    return out;
}

} // namespace sorabel
