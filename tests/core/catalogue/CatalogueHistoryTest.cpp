#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace sorabel;

namespace {

using Step = std::function<void(CatalogueSession&)>;

// Five books titled "1".."5", the third one shown.
void arrange(CatalogueSession& s) {
    Catalogue c;
    c.resize(5);
    for (int r = 1; r <= 5; ++r)
        c.setField(Field::Title, r, std::to_string(r));
    s.takeCatalogue(std::move(c), 3);
}

std::string bytesOf(const CatalogueSession& s) {
    return CatalogueFile::serialise(s.catalogue());
}

std::vector<std::array<Bytes, kFieldCount>> books(int count, const char* title) {
    std::vector<std::array<Bytes, kFieldCount>> out(static_cast<size_t>(count));
    for (auto& record : out)
        record[static_cast<size_t>(index(Field::Title))] = title;
    return out;
}

} // namespace

// Each sequence of steps is taken back one step at a time, newest first, each
// undo giving exactly the bytes the file would have held before that step;
// redo then gives the later bytes again.
TEST(CatalogueHistory, UndoAndRedoReturnTheEarlierAndLaterBytes) {
    const Step type = [](CatalogueSession& s) {
        s.endTyping();
        s.editField(Field::Title, "t");
        s.editField(Field::Title, "ty"); // the same visit: one step
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<QString> undoTexts; // newest first
    } cases[] = {
        {"copy, add, typing into the new book",
         {&CatalogueSession::copyRecordToEnd, &CatalogueSession::addRecord, type},
         {"入力", "追加", "コピーして最後尾へ追加"}},
        {"import, sort, add",
         {[](CatalogueSession& s) { s.appendRecords(books(3, "imported")); },
          [](CatalogueSession& s) {
              s.applyOrder({8, 7, 6, 5, 4, 3, 2, 1});
          },
          &CatalogueSession::addRecord},
         {"追加", "並べ替え", "インポート"}},
        {"typing, then delete of the typed book, then list insert",
         {type, &CatalogueSession::deleteCurrentRecord,
          [](CatalogueSession& s) { s.insertRecordAt(1); }},
         {"挿入", "削除", "入力"}},
        {"settings, a new choice word, fields set together",
         {[](CatalogueSession& s) {
              HeaderValues h = s.catalogue().header();
              h.captions[0] = "caption";
              h.flags[3] = "FALSE";
              h.spacing = 17;
              s.applySettings(h);
          },
          [](CatalogueSession& s) { s.addListEntry(ChoiceList::Format, "A4"); },
          [](CatalogueSession& s) {
              s.setRecordFields(2, {{Field::Title, "looked up"}, {Field::Publisher, "p"}},
                                QStringLiteral("ISBN"));
          }},
         {"ISBN", "選択肢の追加", "環境設定"}},
        {"list delete in the middle, then copy",
         {[](CatalogueSession& s) { s.deleteRecord(2); }, &CatalogueSession::copyRecordToEnd},
         {"コピーして最後尾へ追加", "削除"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogueSession s;
        arrange(s);
        std::vector<std::string> states{bytesOf(s)};
        for (const Step& step : c.steps) {
            step(s);
            states.push_back(bytesOf(s));
        }
        ASSERT_NE(states.front(), states.back());
        for (size_t i = 0; i < c.undoTexts.size(); ++i) {
            EXPECT_EQ(s.undoText(), c.undoTexts[i]);
            s.undo();
            EXPECT_EQ(bytesOf(s), states[states.size() - 2 - i]);
        }
        EXPECT_FALSE(s.canUndo());
        EXPECT_FALSE(s.isModified()); // back where it was opened
        for (size_t i = 1; i < states.size(); ++i) {
            s.redo();
            EXPECT_EQ(bytesOf(s), states[i]);
        }
        EXPECT_FALSE(s.canRedo());
        EXPECT_TRUE(s.isModified());
    }
}

TEST(CatalogueHistory, ANewStepDropsRedoAndTheCleanPointFollowsSave) {
    QTemporaryDir dir;
    CatalogueSession s;
    arrange(s);
    s.addRecord();
    s.saveAs(dir.filePath("a.srb"));
    EXPECT_FALSE(s.isModified());
    s.deleteCurrentRecord();
    EXPECT_TRUE(s.isModified());
    s.undo();
    EXPECT_FALSE(s.isModified()); // undone back to what was saved
    s.undo();
    EXPECT_TRUE(s.isModified()); // before the save is a change too
    EXPECT_EQ(s.redoText(), QStringLiteral("追加"));

    // A new step after undo drops what could have been redone, and with it
    // the saved state, which can no longer be reached.
    s.copyRecordToEnd();
    EXPECT_FALSE(s.canRedo());
    s.undo();
    EXPECT_EQ(s.recordCount(), 5);
    EXPECT_TRUE(s.isModified());

    // Typing after a pause or in another field is a step of its own.
    s.endTyping();
    s.editField(Field::Title, "a");
    s.editField(Field::Note1, "b");
    s.undo();
    EXPECT_EQ(s.catalogue().field(Field::Title, 3), "a");
    EXPECT_EQ(s.catalogue().field(Field::Note1, 3), "");
}

TEST(CatalogueHistory, KeepsAHundredSteps) {
    CatalogueSession s;
    arrange(s);
    for (int i = 0; i < 150; ++i) {
        s.endTyping();
        s.editField(Field::Note1, std::to_string(i));
    }
    for (int i = 0; i < 100; ++i)
        s.undo();
    EXPECT_EQ(s.catalogue().field(Field::Note1, 3), "49");
    EXPECT_TRUE(s.canUndo());
}
