#include "core/lookup/BookProposal.h"
#include "core/lookup/LookupError.h"
#include "core/lookup/NdlReader.h"
#include "core/lookup/OpenBdReader.h"
#include "core/storage/FileIo.h"

#include <gtest/gtest.h>

using namespace sorabel;

namespace {

QByteArray answer(const char* name) {
    return QByteArray::fromStdString(
        FileIo::readAll(QString(SORABEL_TEST_DATA) + "/lookup/" + QString::fromUtf8(name)));
}

// "field number: text (source)" lines, as the preview lists them.
std::vector<std::string> lines(const std::vector<ProposedField>& fields) {
    std::vector<std::string> out;
    for (const ProposedField& f : fields)
        out.push_back(std::to_string(fieldInfo(f.field).number) + ": " + f.text.toStdString() +
                      " (" + f.source.toStdString() + ")");
    return out;
}

} // namespace

TEST(SourceReadersTest, BothSourcesMergedIntoTheFields) {
    const Isbn isbn = Isbn::parse("9784101010014");
    const auto openBd = OpenBdReader::read(answer("openbd-9784101010014.json"), isbn.digits());
    // Two records answer: the fuller one, with the reading, is taken.
    const auto ndl = NdlReader::read(answer("ndl-9784101010014.xml"), isbn.digits());
    EXPECT_EQ(lines(BookProposal::merge(isbn, openBd, ndl)),
              (std::vector<std::string>{
                  "1: 吾輩は猫である (openBD)", "3: わがはいわねこである (国立国会図書館)",
                  "6: 文庫 (openBD)", "7: 夏目漱石 (国立国会図書館)", "9: 新潮社 (openBD)",
                  "10: 新潮文庫 (openBD)", "11: 750円+税 (openBD)", "12: 2003年6月 (openBD)",
                  "18: ISBN: 978-4-10-101001-4 (ISBN)"}));
}

TEST(SourceReadersTest, LibraryRecordAloneWithTranslatorSeriesVolumeAndEntities) {
    const Isbn isbn = Isbn::parse("9784915512377");
    const auto ndl = NdlReader::read(answer("ndl-9784915512377.xml"), isbn.digits());
    EXPECT_EQ(
        lines(BookProposal::merge(isbn, std::nullopt, ndl)),
        (std::vector<std::string>{
            "1: ハリー・ポッターと賢者の石 (国立国会図書館)", "2: 魔法使いの…物語 (国立国会図書館)",
            "3: はりーぽったーとけんじゃのいし (国立国会図書館)", "6: 四六版 (国立国会図書館)",
            "7: J.K.ローリング (国立国会図書館)", "8: 松岡佑子 (国立国会図書館)",
            "9: 静山社 (国立国会図書館)", "10: ハリー・ポッター 1 (国立国会図書館)",
            "11: 1,900円 (国立国会図書館)", "12: 1999年12月 (国立国会図書館)",
            "18: ISBN: 978-4-915512-37-7 (ISBN)"}));
}

TEST(SourceReadersTest, SummaryOnlyBookAndTheOpenSearchFeed) {
    const Isbn isbn = Isbn::parse("9784797312348");
    const auto openBd = OpenBdReader::read(answer("openbd-9784797312348.json"), isbn.digits());
    EXPECT_EQ(lines(BookProposal::merge(isbn, openBd, std::nullopt)),
              (std::vector<std::string>{
                  "1: Q&A 読書ノートの作り方 (openBD)", "2: <続ける>ための〜30のこつ〜 (openBD)",
                  "7: 山田花子 (openBD)", "8: John Smith (openBD)", "9: テスト書房 (openBD)",
                  "10: 本と暮らす 3 (openBD)", "11: 1,650円 (openBD)", "12: 2019年7月 (openBD)",
                  "18: ISBN: 978-4-7973-1234-8 (ISBN)"}));

    const auto feed = NdlReader::read(answer("opensearch-9784101010014.xml"), "9784101010014");
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->reading, "ワガハイ ワ ネコ デ アル");
    ASSERT_EQ(feed->contributors.size(), 1u);
    EXPECT_EQ(feed->contributors[0].name, "夏目漱石");
    EXPECT_EQ(feed->year, 2003);
    EXPECT_EQ(feed->format, "文庫");
}

TEST(SourceReadersTest, EmptyAndBrokenAnswers) {
    EXPECT_FALSE(OpenBdReader::read("[null]"));
    EXPECT_FALSE(NdlReader::read(answer("ndl-empty.xml")));
    // A record for another ISBN is not this book.
    EXPECT_FALSE(NdlReader::read(answer("ndl-9784915512377.xml"), "9784101010014"));

    const struct {
        bool openBd;
        const char* bytes;
        const char* message;
    } broken[] = {
        {true, "[{\"summary\": ", "openBD の返答が読めません（JSON の形が正しくありません）"},
        {true, "<html>503</html>", "openBD の返答が読めません（JSON の形が正しくありません）"},
        {false, "<searchRetrieveResponse><records>",
         "国立国会図書館の返答が読めません（XML の形が正しくありません）"},
        {false, "", "国立国会図書館の返答が読めません（XML の形が正しくありません）"},
        {false,
         "<searchRetrieveResponse xmlns=\"http://www.loc.gov/zing/srw/\"><diagnostics>"
         "<diagnostic xmlns=\"http://www.loc.gov/zing/srw/diagnostic/\"><message>Query syntax "
         "error</message></diagnostic></diagnostics></searchRetrieveResponse>",
         "国立国会図書館の検索がエラーを返しました: Query syntax error"},
    };
    for (const auto& b : broken) {
        try {
            if (b.openBd)
                OpenBdReader::read(b.bytes);
            else
                NdlReader::read(b.bytes);
            ADD_FAILURE() << b.bytes << " was read";
        } catch (const LookupError& e) {
            EXPECT_STREQ(e.what(), b.message) << b.bytes;
        }
    }
}
