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
    Dialogs::setNextFileName(copy);
    f.Open1Click();
    ASSERT_TRUE(Dialogs::shownTexts(Dialogs::Kind::Error).empty());
    EXPECT_EQ(f.catalogue().recordCount, 30);
    EXPECT_EQ(f.statusPanelText(0), QStringLiteral("30／30"));
    f.ToolButton10Click();
    EXPECT_EQ(f.shomei->text(), QStringLiteral("星降る港の物語"));
    EXPECT_TRUE(f.controlText(Field::Impressions).contains(QStringLiteral("\r\n")));
    // Every line of the file ends with CR LF.
    for (size_t p = bytes.find('\n'); p != std::string::npos; p = bytes.find('\n', p + 1))
        ASSERT_EQ(bytes[p - 1], '\r') << p;

    // Browsing does not change a byte: save and compare.
    for (int i = 0; i < 29; ++i)
        f.ToolButton8Click();
    f.ToolButton5Click();
    EXPECT_EQ(readBytes(copy), bytes);
}
