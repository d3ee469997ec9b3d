#include "core/lookup/IsbnLookup.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/lookup/IsbnCommandLine.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"
#include "gui/GuiTestFixture.h"
#include "gui/Reach.h"
#include "gui/lookup/IsbnLookupWindow.h"
#include "gui/lookup/LocalBookServer.h"
#include "gui/lookup/LookupPreview.h"
#include "gui/widgets/Dialogs.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace sorabel;

namespace {

const QString kOpenBd = QStringLiteral("/v1/get");
const QString kNdl = QStringLiteral("/api/sru");

QByteArray answer(const char* name) {
    return QByteArray::fromStdString(
        FileIo::readAll(QString(SORABEL_TEST_DATA) + "/lookup/" + QString::fromUtf8(name)));
}

// The server knows three books, and nothing of 978-4-06-512345-4.
void serveShelf(LocalBookServer& server) {
    server.set(kOpenBd, "9784101010014", {200, answer("openbd-9784101010014.json")});
    server.set(kNdl, "9784101010014", {200, answer("ndl-9784101010014.xml")});
    server.set(kOpenBd, "9784915512377", {200, "[null]"});
    server.set(kNdl, "9784915512377", {200, answer("ndl-9784915512377.xml")});
    server.set(kOpenBd, "9784797312348", {200, answer("openbd-9784797312348.json")});
    server.set(kNdl, "9784797312348", {200, answer("ndl-empty.xml")});
    server.set(kOpenBd, "9784065123454", {200, "[null]"});
    server.set(kNdl, "9784065123454", {200, answer("ndl-empty.xml")});
}

LookupSettings settingsFor(const LocalBookServer& server) {
    LookupSettings s;
    s.openBdUrl = server.baseUrl();
    s.ndlUrl = server.baseUrl() + "/"; // a trailing slash is taken too
    s.timeoutMs = 300;
    return s;
}

class IsbnLookupTest : public GuiTestFixture {
protected:
    void SetUp() override {
        GuiTestFixture::SetUp();
        qunsetenv("SORABEL_OPENBD_URL");
        qunsetenv("SORABEL_NDL_URL");
    }
    void TearDown() override {
        qunsetenv("SORABEL_OPENBD_URL");
        qunsetenv("SORABEL_NDL_URL");
        GuiTestFixture::TearDown();
    }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(IsbnLookupTest, EachWayASourceFailsGivesItsMessageAndNoRecord) {
    LocalBookServer server;
    serveShelf(server);
    const QString isbn = "9784065123454";
    // A port nobody listens on.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const QString refused = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    const struct {
        const char* name;
        LocalBookServer::Answer openBd, ndl;
        bool refuse;
        LookupOutcome::Status status;
        const char* message;
    } cases[] = {
        {"empty",
         {200, "[null]"},
         {200, answer("ndl-empty.xml")},
         false,
         LookupOutcome::Status::NotFound,
         "ISBN 978-4-06-512345-4 の本は見つかりませんでした"},
        {"500",
         {500, "oops"},
         {500, "oops"},
         false,
         LookupOutcome::Status::Failed,
         "openBD がエラーを返しました（HTTP 500）\n国立国会図書館 がエラーを返しました（HTTP "
         "500）"},
        {"malformed",
         {200, "[{\"summary\""},
         {200, "<searchRetrieveResponse>"},
         false,
         LookupOutcome::Status::Failed,
         "openBD の返答が読めません（JSON の形が正しくありません）\n"
         "国立国会図書館の返答が読めません（XML の形が正しくありません）"},
        {"slow",
         {200, "[null]", 3000},
         {200, answer("ndl-empty.xml"), 3000},
         false,
         LookupOutcome::Status::Failed,
         "openBD から 0.3 秒以内に返答がありませんでした\n"
         "国立国会図書館 から 0.3 秒以内に返答がありませんでした"},
        {"offline",
         {},
         {},
         true,
         LookupOutcome::Status::Failed,
         "openBD に接続できません。ネットワークを確かめてください\n"
         "国立国会図書館 に接続できません。ネットワークを確かめてください"},
    };
    for (const auto& c : cases) {
        server.set(kOpenBd, isbn, c.openBd);
        server.set(kNdl, isbn, c.ndl);
        LookupSettings settings = settingsFor(server);
        if (c.refuse)
            settings.openBdUrl = settings.ndlUrl = refused;
        IsbnLookup lookup;
        QSignalSpy done(&lookup, &IsbnLookup::finished);
        QElapsedTimer clock;
        clock.start();
        lookup.start(Isbn::parse(isbn), settings);
        ASSERT_TRUE(done.wait(5000)) << c.name;
        // Both sources wait at once: two slow ones cost one time limit.
        EXPECT_LT(clock.elapsed(), 2000) << c.name;
        const auto outcome = done.front().front().value<LookupOutcome>();
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message, QString::fromUtf8(c.message)) << c.name;
        EXPECT_TRUE(outcome.fields.empty()) << c.name;
    }
}

TEST_F(IsbnLookupTest, OneSourceLateTheOtherFoundIsAFindWithANote) {
    LocalBookServer server;
    serveShelf(server);
    server.set(kOpenBd, "9784915512377", {200, "[null]", 3000});
    IsbnLookup lookup;
    QSignalSpy done(&lookup, &IsbnLookup::finished);
    lookup.start(Isbn::parse("4915512371"), settingsFor(server));
    ASSERT_TRUE(done.wait(5000));
    const auto outcome = done.front().front().value<LookupOutcome>();
    EXPECT_EQ(outcome.status, LookupOutcome::Status::Found);
    EXPECT_EQ(outcome.message, "openBD から 0.3 秒以内に返答がありませんでした");
    EXPECT_EQ(outcome.fields.front().text, "ハリー・ポッターと賢者の石");
}

TEST_F(IsbnLookupTest, CommandLinePrintsCaptionLinesFromTheAddressesInTheEnvironment) {
    LocalBookServer server;
    serveShelf(server);
    qputenv("SORABEL_OPENBD_URL", server.baseUrl().toUtf8());
    qputenv("SORABEL_NDL_URL", server.baseUrl().toUtf8());
    QString out, err;
    QTextStream o(&out), e(&err);
    EXPECT_EQ(IsbnCommandLine::run({"sorabel", "--lookup-isbn", "978-4-7973-1234-8"}, o, e), 0);
    EXPECT_EQ(out, "書　名: Q&A 読書ノートの作り方\n"
                   "副　題: <続ける>ための〜30のこつ〜\n"
                   "著作者・編者: 山田花子\n"
                   "翻訳者: John Smith\n"
                   "出版社: テスト書房\n"
                   "叢書名: 本と暮らす 3\n"
                   "定　価: 1,650円\n"
                   "初版（第１刷）: 2019年7月\n"
                   "備考１: ISBN: 978-4-7973-1234-8\n");
    EXPECT_EQ(IsbnCommandLine::run({"sorabel", "--lookup-isbn", "9784065123454"}, o, e), 1);
    const int asked = server.requests();
    EXPECT_EQ(IsbnCommandLine::run({"sorabel", "--lookup-isbn", "9784065123455"}, o, e), 2);
    EXPECT_EQ(server.requests(), asked);
    EXPECT_TRUE(
        err.endsWith("チェックディジットが違います（最後の桁は 5 ではなく 4 のはずです）\n"));
}

TEST_F(IsbnLookupTest, ScanningAShelfAddsEachBookOnceAndSavesThem) {
    LocalBookServer server;
    serveShelf(server);
    const QString ini = dir_.filePath("SorabeIni.INI");
    settingsFor(server).write(ini);
    CatalogueSession session;
    IsbnLookupWindow window(session, nullptr, ini);
    window.present();
    reach<QCheckBox>(window, "continuousBox").setChecked(true);
    QLineEdit* isbn = &reach<QLineEdit>(window, "isbnBox");

    // A mistyped code is refused at once, and nothing is asked.
    QTest::keyClicks(isbn, "9784101010015");
    QTest::keyClick(isbn, Qt::Key_Return);
    EXPECT_EQ(reach<QLabel>(window, "lookupStatus").text(),
              "チェックディジットが違います（最後の桁は 5 ではなく 4 のはずです）");
    EXPECT_EQ(server.requests(), 0);
    isbn->clear();

    // A scanner types fast: codes queue while the first is looked up.
    for (const char* code :
         {"9784101010014", "9784915512377", "9784797312348", "9784065123454", "4101010013"}) {
        QTest::keyClicks(isbn, code);
        QTest::keyClick(isbn, Qt::Key_Return);
    }
    auto& notFound = reach<QListWidget>(window, "notFoundList");
    auto& duplicates = reach<QListWidget>(window, "duplicateList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return notFound.count() + duplicates.count() == 2; }, 5000));
    EXPECT_EQ(reach<QListWidget>(window, "addedList").count(), 3);
    EXPECT_EQ(notFound.item(0)->text(),
              "978-4-06-512345-4 — ISBN 978-4-06-512345-4 の本は見つかりませんでした");
    EXPECT_EQ(duplicates.item(0)->text(), "978-4-10-101001-4 「吾輩は猫である」 — 1件目と同じ本");

    const QString path = dir_.filePath("shelf.srb");
    session.saveAs(path);
    Catalogue saved;
    CatalogueFile::read(path, saved);
    // The empty record of a new catalogue took the first book.
    ASSERT_EQ(saved.recordCount(), 3);
    EXPECT_EQ(saved.field(Field::Title, 1), sjis::fromUtf8("吾輩は猫である"));
    EXPECT_EQ(saved.field(Field::Reading, 1), sjis::fromUtf8("わがはいわねこである"));
    EXPECT_EQ(saved.field(Field::Translator, 2), sjis::fromUtf8("松岡佑子"));
    EXPECT_EQ(saved.field(Field::Series, 2), sjis::fromUtf8("ハリー・ポッター 1"));
    EXPECT_EQ(saved.field(Field::Note1, 2), "ISBN: 978-4-915512-37-7");
    // 〜 has no place in Shift-JIS: its look-alike ～ (0x81 0x60) is stored.
    EXPECT_EQ(saved.field(Field::Subtitle, 3),
              "<\x91\xb1\x82\xaf\x82\xe9>\x82\xbd\x82\xdf\x82\xcc\x81\x60"
              "30\x82\xcc\x82\xb1\x82\xc2\x81\x60");
    EXPECT_EQ(saved.field(Field::Price, 3), sjis::fromUtf8("1,650円"));
    EXPECT_EQ(saved.field(Field::FirstEdition, 3), sjis::fromUtf8("2019年7月"));
}

TEST_F(IsbnLookupTest, FillingTheShownRecordAsksBeforeReplacingAndKeepsTheNote) {
    LocalBookServer server;
    serveShelf(server);
    const QString ini = dir_.filePath("SorabeIni.INI");
    settingsFor(server).write(ini);
    CatalogueSession session;
    Catalogue c;
    c.setField(Field::Title, 1, sjis::fromUtf8("猫"));
    c.setField(Field::Note1, 1, sjis::fromUtf8("友人から借りた"));
    c.setField(Field::Impressions, 1, sjis::fromUtf8("面白い"));
    session.takeCatalogue(std::move(c), 1);
    IsbnLookupWindow window(session, nullptr, ini);
    window.present();
    reach<QCheckBox>(window, "fillCurrentBox").setChecked(true);
    QLineEdit* isbn = &reach<QLineEdit>(window, "isbnBox");
    QSignalSpy shown(&window, &IsbnLookupWindow::outcomeShown);
    QTest::keyClicks(isbn, "978-4-10-101001-4");
    QTest::keyClick(isbn, Qt::Key_Return);
    ASSERT_TRUE(shown.wait(5000));
    // The publisher's row left unchecked stays out.
    auto& preview = reach<LookupPreview>(window, "preview");
    preview.item(4, LookupPreview::FieldColumn)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(preview.item(4, LookupPreview::TextColumn)->text(), "新潮社");

    Dialogs::setNextAnswer(false);
    QTest::keyClick(isbn, Qt::Key_Return);
    EXPECT_EQ(Dialogs::shownTexts(Dialogs::Kind::Question),
              std::vector<QString>{"1件目の次の項目を置き換えます。よろしいですか？\n\n"
                                   "書　名: 「猫」→「吾輩は猫である」"});
    EXPECT_EQ(session.catalogue().field(Field::Title, 1), sjis::fromUtf8("猫"));

    Dialogs::setNextAnswer(true);
    QTest::keyClick(isbn, Qt::Key_Return);
    const Catalogue& now = session.catalogue();
    EXPECT_EQ(now.recordCount(), 1);
    EXPECT_EQ(now.field(Field::Title, 1), sjis::fromUtf8("吾輩は猫である"));
    EXPECT_EQ(now.field(Field::Publisher, 1), "");
    EXPECT_EQ(now.field(Field::Impressions, 1), sjis::fromUtf8("面白い"));
    EXPECT_EQ(now.field(Field::Note1, 1),
              sjis::fromUtf8("友人から借りた　ISBN: 978-4-10-101001-4"));
}
