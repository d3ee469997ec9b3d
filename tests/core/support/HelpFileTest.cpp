#include "core/support/HelpFile.h"
#include "core/storage/FileIo.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

using namespace sorabel;

namespace {
const QString kShippedHelp =
    QDir::cleanPath(QStringLiteral(SORABEL_TEST_DATA "/../../help/sorabe.HLP"));
}

TEST(HelpFileTest, ShippedHelpFileHasEveryTopicTheWindowsAskFor) {
    const HelpFile file = HelpFile::load(kShippedHelp);
    EXPECT_EQ(file.title(), QStringLiteral("ソラベル ヘルプ"));
    EXPECT_FALSE(file.styleSheet().isEmpty());
    for (int context : {1, 2, 6, 7, 8, 10}) {
        const HelpFile::Topic* topic = file.topic(context);
        ASSERT_NE(topic, nullptr) << context;
        EXPECT_FALSE(topic->title.isEmpty()) << context;
        EXPECT_FALSE(topic->chapter.isEmpty()) << context;
        EXPECT_GT(topic->text.size(), 200) << context; // a real page, not a placeholder
    }
    EXPECT_GE(file.topics().size(), 25u);

    // Every link leads to a topic of the file, and no number is used twice.
    std::set<int> numbers;
    const QRegularExpression link(QStringLiteral("href=\"topic:(\\d+)\""));
    for (const auto& topic : file.topics()) {
        EXPECT_TRUE(numbers.insert(topic.context).second) << topic.context;
        auto it = link.globalMatch(topic.html);
        while (it.hasNext()) {
            const int target = it.next().captured(1).toInt();
            EXPECT_NE(file.topic(target), nullptr)
                << "topic " << topic.context << " links to missing " << target;
        }
    }

    // The texts the program shows are spelled as the program shows them.
    const auto mentions = [&](const QString& text) { return !file.search(text).empty(); };
    for (const char* text :
         {"記録できるのは２０００冊までです", "現在の内容を保存しますか？",
          "この本の記録を削除しますか？", "ここに挿入しますか？",
          "並べ替えの結果を反映させますか？", "無効/非表示ウィンドウにはフォーカスを設定できません",
          "SorabeIni.INI", "srbbak", "チェックをはずした項目は表示されません",
          "各選択項目の内容を編集できます", "--《ジャンル１ここまで》--", "この画面の説明",
          "この面の説明", "コピーして最後尾へ追加"})
        EXPECT_TRUE(mentions(QString::fromUtf8(text))) << text;
}

TEST(HelpFileTest, ParsesSectionsAndSkipsUnusableOnes) {
    const HelpFile file = HelpFile::parse(QStringLiteral(
        "<html><head><title>T &amp; U</title><style>h1 { color: red; }</style></head><body>"
        "<section data-context=\"3\" data-title=\"三 &lt;x&gt;\" data-chapter=\"章\">"
        "<p>Alpha <b>beta</b>&nbsp;gamma</p></section>"
        "<section data-title=\"no number\"><p>lost</p></section>"
        "<section data-context=\"abc\"><p>lost</p></section>"
        "<section data-context=\"3\" data-title=\"duplicate\"><p>lost</p></section>"
        "<SECTION data-context='x' data-context=\"4\" data-title=\"四\">"
        "<p>line\n  two</p></SECTION></body></html>"));
    EXPECT_EQ(file.title(), QStringLiteral("T & U"));
    EXPECT_EQ(file.styleSheet(), QStringLiteral("h1 { color: red; }"));
    ASSERT_EQ(file.topics().size(), 2u);
    EXPECT_EQ(file.topics()[0].context, 3);
    EXPECT_EQ(file.topics()[0].title, QStringLiteral("三 <x>"));
    EXPECT_EQ(file.topics()[0].chapter, QStringLiteral("章"));
    EXPECT_EQ(file.topics()[0].text, QStringLiteral("Alpha beta gamma"));
    EXPECT_EQ(file.topics()[1].context, 4);
    EXPECT_EQ(file.topics()[1].text, QStringLiteral("line two"));
    EXPECT_EQ(file.topic(5), nullptr);
    EXPECT_EQ(file.topic(0), nullptr);
    EXPECT_THROW(HelpFile::load(QStringLiteral("/no/such/folder/sorabe.HLP")), IoError);
}

TEST(HelpFileTest, SearchNeedsEveryWordAndIgnoresCaseAndWidth) {
    const HelpFile file = HelpFile::parse(QStringLiteral(
        "<section data-context=\"1\" data-title=\"一覧\"><p>並べ替え と Sort</p></section>"
        "<section data-context=\"2\" data-title=\"並べ替え\"><p>列</p></section>"
        "<section data-context=\"3\" data-title=\"ＳＯＲＴ\"><p>全角の見出し</p></section>"));
    auto ids = [](const std::vector<const HelpFile::Topic*>& found) {
        std::vector<int> out;
        for (const auto* t : found)
            out.push_back(t->context);
        return out;
    };
    // Title matches come first, then file order.
    EXPECT_EQ(ids(file.search(QStringLiteral("並べ替え"))), (std::vector<int>{2, 1}));
    EXPECT_EQ(ids(file.search(QStringLiteral("sort"))), (std::vector<int>{3, 1}));
    EXPECT_EQ(ids(file.search(QStringLiteral("ｓｏｒｔ　並べ替え"))), (std::vector<int>{1}));
    EXPECT_TRUE(file.search(QStringLiteral("  ")).empty());
    EXPECT_TRUE(file.search(QStringLiteral("存在しない")).empty());
}
