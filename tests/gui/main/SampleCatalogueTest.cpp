#include "MainWindowFixture.h"

#include <QDir>

using namespace sorabel;

// The sample shipped with the program opens in the window and survives a save unchanged.
TEST_F(MainWindowTest, TheShippedSampleOpensAndSavesUnchanged) {
    const QString sample = QDir(QStringLiteral(SORABEL_TEST_DATA))
                               .absoluteFilePath(QStringLiteral("../../examples/sample.srb"));
    const std::string bytes = readBytes(sample);
    const QString copy = path(QStringLiteral("sample.srb"));
    FileIo::writeAtomically(copy, bytes);

    MainWindow& f = start();
    openFile(copy);
    ASSERT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    EXPECT_EQ(session.recordCount(), 30);
    EXPECT_EQ(panel(0), QStringLiteral("30／30"));
    f.goToFirstRecord();
    EXPECT_EQ(shown(Field::Title), QStringLiteral("星降る港の物語"));
    EXPECT_TRUE(shown(Field::Impressions).contains(QStringLiteral("\r\n")));
    // Browsing does not change a byte (nor is any line break other than CR
    // LF, which a save would write): save and compare.
    for (int i = 0; i < 29; ++i)
        f.goToNextRecord();
    f.save();
    EXPECT_EQ(readBytes(copy), bytes);
}
