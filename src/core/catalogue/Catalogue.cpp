#include "core/catalogue/Catalogue.h"

#include "core/text/ShiftJis.h"

#include <algorithm>
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

Bytes& Catalogue::slot(Field f, int record) {
    checkRecord(record);
    makeSlots(record);
    return columns_[static_cast<size_t>(fieldInfo(f).storageColumn)]
                   [static_cast<size_t>(record - 1)];
}

const Bytes& Catalogue::slot(Field f, int record) const {
    checkRecord(record);
    static const Bytes empty;
    const auto& column = columns_[static_cast<size_t>(fieldInfo(f).storageColumn)];
    return static_cast<size_t>(record) <= column.size() ? column[static_cast<size_t>(record - 1)]
                                                        : empty;
}

const Bytes& Catalogue::field(Field f, int record) const {
    return slot(f, record);
}

void Catalogue::setField(Field f, int record, Bytes text) {
    slot(f, record) = std::move(text);
}

void Catalogue::assignRecord(int record, std::span<const std::string_view, kFieldCount> texts) {
    checkRecord(record);
    makeSlots(record);
    for (const auto& info : fieldTable())
        columns_[static_cast<size_t>(info.storageColumn)][static_cast<size_t>(record - 1)].assign(
            texts[static_cast<size_t>(index(info.field))]);
}

void Catalogue::clearRecord(int record) {
    checkRecord(record);
    for (auto& column : columns_)
        if (static_cast<size_t>(record) <= column.size())
            Bytes().swap(column[static_cast<size_t>(record - 1)]);
}

void Catalogue::copyRecord(int from, int to) {
    checkRecord(from);
    checkRecord(to);
    if (from == to)
        return;
    makeSlots(std::max(from, to));
    for (auto& column : columns_)
        column[static_cast<size_t>(to - 1)] = column[static_cast<size_t>(from - 1)];
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
    // Moving (not copying) keeps a delete from 2000 records cheap.
    for (auto& column : columns_) {
        for (int i = record; i < count_; ++i)
            column[static_cast<size_t>(i - 1)] = std::move(column[static_cast<size_t>(i)]);
        Bytes().swap(column[static_cast<size_t>(count_ - 1)]);
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
        for (int i = count_ + 1; i > record; --i)
            column[static_cast<size_t>(i - 1)] = std::move(column[static_cast<size_t>(i - 2)]);
        Bytes().swap(column[static_cast<size_t>(record - 1)]);
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
    for (auto& column : columns_) {
        std::vector<Bytes> moved(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            moved[i] = std::move(column[static_cast<size_t>(order[i] - 1)]);
        std::move(moved.begin(), moved.end(), column.begin());
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
