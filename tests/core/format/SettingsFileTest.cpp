#include "core/format/SettingsFile.h"
#include "core/format/ProfileFile.h"
#include "core/storage/FileIo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {

SettingsValues sample() {
    // Fonts (style, pitch), Ki1..Ki3, Rubi, file, top, left, width, height, maximized.
    return {{3, 1}, {8, 2}, {false, true, false}, 1, "/home/reader/books/2026.srb", 40, -8, 800,
            600,    false};
}

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    const QString path_ = dir_.filePath("SorabeIni.INI");
};

} // namespace

TEST_F(SettingsFileTest, ExitWritesEveryKeyInOrderAndReadsBack) {
    // Without a file the current values stay, but for the maximized state.
    SettingsValues current = sample();
    current.maximized = true;
    EXPECT_EQ(SettingsFile::read(path_, current, true), sample());
    EXPECT_FALSE(QFile::exists(path_));

    SettingsFile::writeAtExit(path_, sample());
    EXPECT_EQ(FileIo::readAll(path_), "[Font]\r\nStyle=3\r\nPitch=1\r\n\r\n"
                                      "[Font2]\r\nStyle=8\r\nPitch=2\r\n\r\n"
                                      "[Kioku]\r\nKi1=1\r\nKi2=0\r\nKi3=1\r\n\r\n"
                                      "[File]\r\nFile=/home/reader/books/2026.srb\r\n\r\n"
                                      "[Rubi]\r\nRubi=1\r\n\r\n"
                                      "[Window]\r\nTop=40\r\nLeft=-8\r\nWidth=800\r\n"
                                      "Height=600\r\nMaxmize=0\r\n");
    EXPECT_EQ(SettingsFile::read(path_, SettingsValues{}, true), sample());
    // The file name is left alone when the catalogue already has changes.
    current.file = "unsaved.srb";
    EXPECT_EQ(SettingsFile::read(path_, current, false).file, "unsaved.srb");
}

TEST_F(SettingsFileTest, MaximizedKeepsTheEarlierPlacement) {
    SettingsFile::writeAtExit(path_, sample());
    SettingsValues maximized = sample();
    maximized.maximized = true;
    maximized.top = maximized.left = 0;
    maximized.width = 1920;
    maximized.height = 1080;
    SettingsFile::writeAtExit(path_, maximized);

    SettingsValues expected = sample();
    expected.maximized = true;
    EXPECT_EQ(SettingsFile::read(path_, SettingsValues{}, true), expected);

    // Maximized with no earlier file: the window section holds only Maxmize
    // and the designed placement stays.
    QFile::remove(path_);
    SettingsFile::writeOnOk(path_, maximized);
    const ProfileFile ini(path_);
    EXPECT_EQ(ini.readString("Window", "Top", "none"), "none");
    EXPECT_EQ(ini.readString("Window", "Maxmize", ""), "1");
    SettingsValues designed;
    designed.top = 11;
    designed.width = 640;
    const SettingsValues back = SettingsFile::read(path_, designed, true);
    EXPECT_EQ(back.top, 11);
    EXPECT_EQ(back.width, 640);
    EXPECT_TRUE(back.maximized);
}

TEST_F(SettingsFileTest, OkLeavesRubiAloneAndKeepsForeignKeys) {
    FileIo::writeAtomically(path_, "; kept\r\n[Rubi]\r\nRubi=7\r\n[Extra]\r\nx=y\r\n");
    SettingsValues v = sample();
    v.rubi = 0;
    SettingsFile::writeOnOk(path_, v);
    const ProfileFile ini(path_);
    EXPECT_EQ(ini.readInt("Rubi", "Rubi", -1), 7);
    EXPECT_EQ(ini.readString("Extra", "x", ""), "y");
    EXPECT_TRUE(ini.text().starts_with("; kept\r\n[Rubi]\r\nRubi=7\r\n[Extra]\r\nx=y\r\n"));
    EXPECT_FALSE(SettingsFile::read(path_, SettingsValues{}, true).startup.reopenLastCatalogue);

    SettingsFile::writeAtExit(path_, v);
    EXPECT_EQ(ProfileFile(path_).readInt("Rubi", "Rubi", -1), 0);
}

TEST_F(SettingsFileTest, StyleKeepsTheLowEightBitsAndBadNumbersKeepDefaults) {
    FileIo::writeAtomically(path_, "[Font]\r\nStyle=0x8\r\nPitch=wide\r\n"
                                   "[Font2]\r\nStyle=259\r\n"
                                   "[Kioku]\r\nKi1=\r\nKi2=5\r\n"
                                   "[Window]\r\nTop=1O\r\nMaxmize=yes\r\n");
    SettingsValues current = sample();
    const SettingsValues v = SettingsFile::read(path_, current, true);
    EXPECT_EQ(v.captionFont.style, 8);
    EXPECT_EQ(v.captionFont.pitch, 1);       // kept
    EXPECT_EQ(v.contentsFont.style, 3);      // 259 & 0xFF
    EXPECT_FALSE(v.startup.restorePosition); // empty keeps the current choice
    EXPECT_FALSE(v.startup.restoreSize);     // anything but 0 is "no"
    EXPECT_EQ(v.top, 40);
    EXPECT_FALSE(v.maximized);
}

TEST_F(SettingsFileTest, JapaneseFileNameRoundTripsByteForByte) {
    SettingsValues v = sample();
    v.file = dir_.filePath("読書録/二〇二六年 ①.srb").toStdString();
    const std::string utf8 = v.file;
    SettingsFile::writeAtExit(path_, v);
    EXPECT_NE(FileIo::readAll(path_).find("File=" + utf8 + "\r\n"), std::string::npos);
    EXPECT_EQ(SettingsFile::read(path_, SettingsValues{}, true).file, utf8);

    // Names whose ends would be trimmed survive as well.
    v.file = " spaced.srb ";
    SettingsFile::writeOnOk(path_, v);
    EXPECT_EQ(SettingsFile::read(path_, SettingsValues{}, true).file, " spaced.srb ");
}
