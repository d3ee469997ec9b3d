#include "core/catalogue/Catalogue.h"

#include "core/text/ShiftJis.h"

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
    for (auto& column : columns_)
        column.resize(kMaxRecords);
    flags.fill("TRUE");
    lists = defaultLists();
    liveCaptions = defaultCaptions();
}

Bytes& Catalogue::slot(Field f, int record) {
    checkRecord(record);
    return columns_[static_cast<size_t>(fieldInfo(f).storageColumn)][static_cast<size_t>(record - 1)];
}

const Bytes& Catalogue::slot(Field f, int record) const {
    checkRecord(record);
    return columns_[static_cast<size_t>(fieldInfo(f).storageColumn)][static_cast<size_t>(record - 1)];
}

const Bytes& Catalogue::field(Field f, int record) const { return slot(f, record); }

void Catalogue::setField(Field f, int record, Bytes text) { slot(f, record) = std::move(text); }

void Catalogue::assignRecord(int record, std::span<const std::string_view, kFieldCount> texts) {
    checkRecord(record);
    for (const auto& info : fieldTable())
        columns_[static_cast<size_t>(info.storageColumn)][static_cast<size_t>(record - 1)].assign(
            texts[static_cast<size_t>(index(info.field))]);
}

void Catalogue::clearRecord(int record) {
    checkRecord(record);
    for (auto& column : columns_)
        Bytes().swap(column[static_cast<size_t>(record - 1)]);
}

void Catalogue::copyRecord(int from, int to) {
    checkRecord(from);
    checkRecord(to);
    if (from == to)
        return;
    for (auto& column : columns_)
        column[static_cast<size_t>(to - 1)] = column[static_cast<size_t>(from - 1)];
}

void Catalogue::removeRecordAt(int record, int count) {
    checkRecord(record);
    checkRecord(count);
    if (record > count)
        throw std::out_of_range("record beyond the record count");
    // Moving (not copying) keeps a delete from 2000 records cheap.
    for (auto& column : columns_) {
        for (int i = record; i < count; ++i)
            column[static_cast<size_t>(i - 1)] = std::move(column[static_cast<size_t>(i)]);
        Bytes().swap(column[static_cast<size_t>(count - 1)]);
    }
}

void Catalogue::insertEmptyAt(int record, int count) {
    checkRecord(record);
    if (count < 0 || count >= kMaxRecords)
        throw std::out_of_range("no room to insert a record");
    if (record > count + 1)
        throw std::out_of_range("insert position beyond the end");
    for (auto& column : columns_) {
        for (int i = count + 1; i > record; --i)
            column[static_cast<size_t>(i - 1)] = std::move(column[static_cast<size_t>(i - 2)]);
        Bytes().swap(column[static_cast<size_t>(record - 1)]);
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
