// Writes examples/sample.srb: thirty made-up books, through the program's own
// catalogue file writer so that the file is valid Shift-JIS with CR LF.
//
//   g++ -std=c++20 -fPIC -I src $(pkg-config --cflags Qt6Core) examples/make_sample.cpp \
//       build/libsorabel_core.a $(pkg-config --libs Qt6Core) -licuuc -licui18n -o /tmp/make_sample
//   /tmp/make_sample examples/sample.srb
#include "core/format/CatalogueFile.h"
#include "core/text/ShiftJis.h"

#include <QDate>
#include <QString>
#include <cstdio>
#include <string>

using namespace sorabel;

namespace {

struct Book {
    const char* title;
    const char* subtitle;
    const char* reading;
    const char* genre1;
    const char* genre2;
    const char* format;
    const char* author;
    const char* translator;
    const char* publisher;
    const char* series;
    const char* price;
    const char* impressions;
};

const Book kBooks[] = {
    {"星降る港の物語", "", "ほしふるみなとのものがたり", "小説", "冒険小説", "文庫", "青木 遥", "",
     "白波書房", "白波文庫", "680円",
     "港町で育った少年が古い海図を手に旅立つ話。\n前半はゆっくりだが、嵐の章から一気に読ませる。"},
    {"霧の町の時計師", "", "きりのまちのとけいし", "小説", "ミステリ", "四六版", "佐伯 透", "",
     "月影社", "", "1,800円",
     "止まった時計の謎を追う連作短編。\n三話目の仕掛けには素直に驚いた。\n\n再読したい。"},
    {"江戸湊の風", "川筋の人びと", "えどみなとのかぜ", "小説", "時代小説", "文庫", "村上 清之介",
     "", "東雲堂", "東雲時代文庫", "720円", "船宿の女将と若い船頭の話。人情ものとして上出来。"},
    {"宇宙港ステラ", "", "うちゅうこうすてら", "小説", "ＳＦ", "新書", "神崎 光", "", "銀河出版",
     "銀河ノベルズ", "900円",
     "軌道上の港を舞台にした群像劇。\n技術描写が丁寧で、登場人物も多いが混乱しない。"},
    {"山里の四季", "", "やまざとのしき", "随筆", "地理", "四六版", "森田 ゆき", "", "野の花社", "",
     "1,500円", "季節ごとの暮らしを綴った随筆集。冬の章が特に好き。"},
    {"北の岬へ", "ひとり旅の記録", "きたのみさきへ", "紀行", "地理", "文庫", "長谷川 航", "",
     "白波書房", "白波文庫", "640円",
     "列車とバスを乗り継いで岬を目指す旅行記。写真がもっと欲しかった。"},
    {"言葉と思考の境界", "", "ことばとしこうのきょうかい", "論文", "哲学", "A5版", "高橋 理", "",
     "学而書院", "学而叢書", "3,200円",
     "言語が思考をどこまで形作るかを論じる。\n第四章は難しく、二度読んだ。"},
    {"砂漠の図書館", "", "さばくのとしょかん", "小説", "冒険小説", "四六版", "Ａ・ハリス",
     "石井 真澄", "月影社", "海外文学の森", "2,100円",
     "砂に埋もれた図書館を探す考古学者の物語。翻訳が読みやすい。"},
    {"はじめてのネットワーク", "仕組みから学ぶ", "はじめてのねっとわーく", "論文", "インターネット",
     "B5版", "中村 修", "", "技術評論舎", "", "2,480円",
     "図が多く、通信の流れがよくわかる。\n演習問題はやや簡単。"},
    {"計算機の歴史", "", "けいさんきのれきし", "論文", "コンピュータ", "新書", "小林 一郎", "",
     "東雲堂", "東雲新書", "860円", "歯車式の計算機から現代まで。年表が便利。"},
    {"月下の剣", "", "げっかのけん", "小説", "時代小説", "文庫", "村上 清之介", "", "東雲堂",
     "東雲時代文庫", "700円", "剣豪ものの佳作。決闘の場面の緊張感がすばらしい。"},
    {"消えた切手", "", "きえたきって", "小説", "ミステリ", "文庫", "佐伯 透", "", "月影社",
     "月影文庫", "620円", "郵便局を舞台にした短い推理小説。結末はやや強引。"},
    {"思想の小径", "", "しそうのこみち", "論文", "思想", "新書", "高橋 理", "", "学而書院",
     "学而新書", "880円", "古今の思想家を一人ずつ紹介する入門書。寝る前に少しずつ読んだ。"},
    {"海辺の日記", "", "うみべのにっき", "随筆", "", "四六版", "森田 ゆき", "", "野の花社", "",
     "1,400円", "海辺の町に移り住んだ一年の記録。\n静かな文章が心地よい。"},
    {"鉄路の果て", "", "てつろのはて", "紀行", "地理", "四六版", "長谷川 航", "", "白波書房", "",
     "1,700円", "廃線跡を歩く紀行文。地図が付いているのがありがたい。"},
    {"ロボットの見る夢", "", "ろぼっとのみるゆめ", "小説", "ＳＦ", "文庫", "神崎 光", "",
     "銀河出版", "銀河文庫", "760円", "ロボットの視点で語られる短編集。表題作がいちばん良い。"},
    {"古都の石畳", "", "ことのいしだたみ", "紀行", "歴史", "A5版", "藤原 静", "", "古今社", "",
     "2,800円", "古都の路地を歴史とともに歩く。写真と解説の配分がちょうどよい。"},
    {"戦国の城", "縄張りを読む", "せんごくのしろ", "論文", "歴史", "新書", "藤原 静", "", "古今社",
     "古今新書", "920円", "城の縄張りから戦の考え方を読み解く。\n現地に行きたくなる。"},
    {"夜明けの灯台", "", "よあけのとうだい", "小説", "", "四六版", "青木 遥", "", "白波書房", "",
     "1,600円", "灯台守の老人と少女の交流。泣いた。"},
    {"迷宮の設計図", "", "めいきゅうのせっけいず", "小説", "ミステリ", "新書", "佐伯 透", "",
     "月影社", "月影ノベルズ", "980円", "館ものの本格推理。見取り図を何度も見返した。"},
    {"プログラムの作法", "", "ぷろぐらむのさほう", "論文", "コンピュータ", "A5版", "中村 修", "",
     "技術評論舎", "", "2,980円", "読みやすい書き方の指南書。\n例がやや古いが考え方は今も通じる。"},
    {"氷原の探検家", "", "ひょうげんのたんけんか", "小説", "冒険小説", "文庫", "Ｊ・ミラー",
     "石井 真澄", "月影社", "月影文庫", "1,100円",
     "極地探検の史実を下敷きにした小説。寒さが伝わる。"},
    {"茶の湯の心", "", "ちゃのゆのこころ", "随筆", "思想", "四六版", "千田 宗和", "", "古今社", "",
     "1,900円", "茶人の随筆。短い文章の中に含蓄がある。"},
    {"星図を描く人", "", "せいずをえがくひと", "小説", "ＳＦ", "四六版", "神崎 光", "", "銀河出版",
     "", "2,000円", "遠い未来の測量士の話。\n世界設定が壮大で、続編を期待。"},
    {"路地裏の名探偵", "", "ろじうらのめいたんてい", "小説", "ミステリ", "文庫", "佐伯 透", "",
     "月影社", "月影文庫", "650円", "軽い読み口の連作。通勤中に読了。"},
    {"島の暮らし", "", "しまのくらし", "随筆", "地理", "文庫", "森田 ゆき", "", "野の花社",
     "野の花文庫", "580円", "離島での生活を綴る。台風の章が印象的。"},
    {"幕末の書簡", "", "ばくまつのしょかん", "論文", "歴史", "A5版", "藤原 静", "", "古今社",
     "古今叢書", "4,500円", "残された手紙から人物像を描き出す。資料的価値が高い。"},
    {"風の記憶", "", "かぜのきおく", "小説", "", "文庫", "青木 遥", "", "白波書房", "白波文庫",
     "690円", "短い恋愛小説。最後の一行が忘れられない。"},
    {"つながる世界", "", "つながるせかい", "論文", "インターネット", "新書", "中村 修", "",
     "技術評論舎", "技評新書", "840円", "情報網が社会をどう変えたかを平易に解説。"},
    {"旅する本棚", "", "たびするほんだな", "随筆", "", "四六版", "長谷川 航", "", "白波書房", "",
     "1,650円", "旅先で読んだ本の話。読みたい本が増えて困る。"},
};

// Year each book was finished in, spread over six years; 0 for the last five,
// which are being read (26, 27), waiting on the shelf (28, 29) or carry a
// finishing date no one can count (30).
const int kYearFinished[] = {2020, 2020, 2021, 2021, 2021, 2022, 2022, 2022, 2023, 2023,
                             2023, 2023, 2024, 2024, 2024, 2024, 2025, 2025, 2025, 2025,
                             2025, 2025, 2025, 2025, 2025, 0,    0,    0,    0,    0};

std::string slashed(const QDate& d) {
    return d.toString(QStringLiteral("yyyy/MM/dd")).toStdString();
}

// The date finished in the forms readers type: mostly 2024/03/05, some in the
// era, full-width, compact, with hyphens, or giving only the month.
std::string finishedText(int n, const QDate& d) {
    const QString era = QString::number(d.year() - 2018);
    if (n == 6)
        return QStringLiteral("%1年%2月").arg(d.year()).arg(d.month()).toStdString();
    if (n == 11) { // typed with the input method on: full-width
        QString wide = QStringLiteral("%1／%2／%3").arg(d.year()).arg(d.month()).arg(d.day());
        for (QChar& c : wide)
            if (c.isDigit() && c.unicode() < 0x80)
                c = QChar(c.unicode() - u'0' + 0xFF10);
        return wide.toStdString();
    }
    if (n == 9)
        return d.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    if (n == 15)
        return d.toString(QStringLiteral("yyyyMMdd")).toStdString();
    if (n % 9 == 4)
        return QStringLiteral("令和%1年%2月%3日")
            .arg(era)
            .arg(d.month())
            .arg(d.day())
            .toStdString();
    if (n % 9 == 7)
        return QStringLiteral("R%1.%2.%3").arg(era).arg(d.month()).arg(d.day()).toStdString();
    return slashed(d);
}

struct Dates {
    std::string finished, started, bought;
};

Dates datesOf(int n) {
    const int year = kYearFinished[n - 1];
    if (year != 0) {
        const QDate finished(year, 1 + n * n % 12, 1 + (n * 7 + 3) % 28);
        const QDate started = finished.addDays(-(5 + n % 20));
        return {finishedText(n, finished), slashed(started),
                slashed(started.addDays(-(n * 13 % 200)))};
    }
    switch (n) {
    case 26:
        return {"", "2025/12/03", "2025/11/22"};
    case 27:
        return {"", "2025/12/18", "2025/06/30"};
    case 28:
        return {"", "", "2025/10/05"};
    case 29:
        return {"", "", "R7.9.20"};
    default:
        return {"去年の夏", "", "2019/04/01"};
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample OUTPUT.srb\n");
        return 2;
    }
    Catalogue c;
    c.flags.fill("TRUE");
    c.spacing = 10;
    int n = 0;
    for (const Book& b : kBooks) {
        ++n;
        auto set = [&](Field f, const char* utf8) { c.setField(f, n, sjis::fromUtf8(utf8)); };
        set(Field::Title, b.title);
        set(Field::Subtitle, b.subtitle);
        set(Field::Reading, b.reading);
        set(Field::Genre1, b.genre1);
        set(Field::Genre2, b.genre2);
        set(Field::Format, b.format);
        set(Field::Author, b.author);
        set(Field::Translator, b.translator);
        set(Field::Publisher, b.publisher);
        set(Field::Series, b.series);
        set(Field::Price, b.price);
        set(Field::FirstEdition, ("2019年" + std::to_string(1 + n % 12) + "月").c_str());
        set(Field::EditionRead, n % 3 == 0 ? "第3刷" : "第1刷");
        std::string impressions = b.impressions;
        for (size_t p = 0; (p = impressions.find('\n', p)) != std::string::npos; p += 2)
            impressions.replace(p, 1, "\r\n");
        set(Field::Impressions, impressions.c_str());
        const Dates dates = datesOf(n);
        set(Field::DateFinished, dates.finished.c_str());
        set(Field::DateStarted, dates.started.c_str());
        set(Field::DateBought, dates.bought.c_str());
        set(Field::Note1, n % 4 == 0 ? "図書館で借りた" : "");
        set(Field::Note2, "");
    }
    c.resize(n);
    CatalogueFile::write(QString::fromLocal8Bit(argv[1]), c);
    return 0;
}
