#pragma once

// The catalogue the benchmarks measure: 2000 books with every field filled
// and about 1 KB of Japanese impressions each.
#include "core/catalogue/Catalogue.h"
#include "core/text/ShiftJis.h"

namespace sorabel::bench {

inline Catalogue fullCatalogue(const char* note = "再読") {
    Catalogue catalogue;
    const Bytes sentence =
        sjis::fromUtf8("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"
                       "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。");
    Bytes impressions;
    while (impressions.size() < 1000)
        impressions += sentence + "\r\n";
    const char* titles[] = {"吾輩は猫である", "坊っちゃん", "草枕", "三四郎", "それから"};
    catalogue.resize(kMaxRecords);
    for (int r = 1; r <= kMaxRecords; ++r) {
        auto set = [&](Field f, const char* utf8) {
            catalogue.setField(f, r, sjis::fromUtf8(utf8));
        };
        set(Field::Title, titles[r % 5]);
        set(Field::Subtitle, "上巻");
        set(Field::Reading, "わがはいはねこである");
        set(Field::Genre1, "小説");
        set(Field::Genre2, "文学");
        set(Field::Format, "文庫");
        set(Field::Author, "夏目漱石");
        set(Field::Publisher, "岩波書店");
        set(Field::Series, "岩波文庫");
        set(Field::Price, "５００円");
        set(Field::FirstEdition, "1905年");
        set(Field::EditionRead, "第30刷");
        set(Field::DateFinished, "2020/01/02");
        set(Field::DateStarted, "2019/12/20");
        set(Field::DateBought, "2019/12/01");
        set(Field::Note1, note);
        catalogue.setField(Field::Impressions, r, impressions);
    }
    return catalogue;
}

} // namespace sorabel::bench
