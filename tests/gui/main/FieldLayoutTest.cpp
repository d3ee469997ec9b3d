#include "gui/main/FieldLayout.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace sorabel;

namespace {

// Caption widths of the default captions in the design label font.
constexpr std::array<int, kCaptionCount> kLabelWidths{42, 48, 42, 84, 42, 42, 42, 42,
                                                      98, 56, 42, 42, 70, 42, 42, 42};
constexpr int any = -1; // not checked

struct Want {
    Field field;
    int left = any, top = any, width = any, height = any;
};
struct LabelWant {
    int caption, left = any, top = any;
};

FieldGeometry designGeometry(int labelHeight = 13) {
    FieldGeometry g = FieldGeometry::design();
    for (int c = 1; c <= kCaptionCount; ++c)
        g.label(c) = {g.label(c).left, g.label(c).top, kLabelWidths[size_t(c - 1)], labelHeight};
    return g;
}

LayoutInputs inputs(int width = 711, int height = 611, int spacing = 10,
                    const std::vector<Field>& hidden = {}) {
    LayoutInputs in;
    in.windowWidth = width;
    in.windowHeight = height;
    in.editHeight = 21;
    in.spacing = spacing;
    in.flags.fill("TRUE");
    for (Field f : hidden)
        in.flags[size_t(index(f))] = "FALSE";
    return in;
}

void expectBox(const Box& b, std::array<int, 4> want, const std::string& what) {
    EXPECT_TRUE(b.visible) << what;
    const std::array<int, 4> got{b.left, b.top, b.width, b.height};
    for (size_t i = 0; i < 4; ++i) {
        if (want[i] != any) {
            EXPECT_EQ(got[i], want[i]) << what << " (left, top, width, height)[" << i << "]";
        }
    }
}

void expectLayout(const FieldGeometry& g, const std::vector<Want>& controls,
                  const std::vector<LabelWant>& labels = {}) {
    for (const Want& w : controls)
        expectBox(g.control(w.field), {w.left, w.top, w.width, w.height},
                  std::string(fieldInfo(w.field).key));
    for (const LabelWant& l : labels)
        expectBox(g.label(l.caption), {l.left, l.top, any, any},
                  "label " + std::to_string(l.caption));
}

} // namespace

// The worked examples: the designed window with every field shown, then a
// larger window laid out again.
TEST(FieldLayout, WorkedExamples) {
    FieldGeometry g = designGeometry();
    const LayoutOutcome out = computeFieldLayout(g, inputs());
    EXPECT_EQ(out.spacing, 10);
    EXPECT_EQ(out.statusPanelWidth, 355);
    // clang-format off
    expectLayout(g,
        {{Field::Title, 51, 37, 280, 21},        {Field::Subtitle, 391, 37, 280, 21},
         {Field::Reading, 51, 68, 195, 21},      {Field::Genre1, 258, 68, 130, 21},
         {Field::Genre2, 399, 68, 130, 21},      {Field::Format, 541, 68, 130, 21},
         {Field::Author, 93, 99, 315, 21},       {Field::Translator, 461, 99, 210, 21},
         // the price takes the publisher's height instead of its own 25
         {Field::Publisher, 51, 130, 202, 21},   {Field::Series, 306, 130, 202, 21},
         {Field::Price, 570, 130, 101, 21},      {Field::FirstEdition, 107, 161, 248, 21},
         {Field::EditionRead, 423, 161, 248, 21}, {Field::Impressions, 51, 192, 620, 250},
         {Field::DateFinished, 51, 452, 162, 21}, {Field::DateStarted, 294, 452, 162, 21},
         {Field::DateBought, 509, 452, 162, 21}, {Field::Note1, 51, 483, 619, 21},
         {Field::Note2, 51, 514, 619, 21}},
        {{1, 8, 41}, {2, 342, 41}, {3, 8, 72}, {4, 8}, {5, 418, 103}, {6, 8}, {7, 263}, {8, 527, 134},
         {9, 8}, {10, 366}, {11, 8, 196}, {12, 8}, {13, 223}, {14, 466, 456}, {15, 8}, {16, 8, 518}});
    // clang-format on

    // A second run on the laid-out window changes nothing.
    FieldGeometry again = g;
    computeFieldLayout(again, inputs());
    EXPECT_EQ(again.labels, g.labels);
    EXPECT_EQ(again.controls, g.controls);

    EXPECT_EQ(computeFieldLayout(g, inputs(900, 700)).statusPanelWidth, 450);
    // A field of each row and proportion; the rest follow the same rules.
    // clang-format off
    expectLayout(g,
        {{Field::Title, 51, 37, 375, 21},        {Field::Genre1, 321, 68, 172, 21},
         {Field::Translator, 576, 99, 284, 21},  {Field::Price, 721, 130, 139, 21},
         {Field::EditionRead, 517},              {Field::Impressions, 51, 192, 809, 339},
         {Field::DateFinished, 51, 541, 225, 21}, {Field::Note2, 51, 603, 808, 21}},
        {{2, 436}, {8, 678}, {14, 592}});
    // clang-format on
}

// The rules one by one, each on the designed window: what a flag, the
// spacing, the window size or the label height does to the rows.
TEST(FieldLayout, RulesOnTheDesignedWindow) {
    const struct {
        const char* name;
        int width, height, labelHeight, spacing;
        std::vector<Field> hidden;
        std::vector<Want> checks;
    } cases[] = {
        // clang-format off
        {"spacing 0 means 10", 711, 611, 13, 0, {},
         {{Field::Reading, any, 68}, {Field::Impressions, any, 192, any, 250}, {Field::Note2, any, 514}}},
        {"a smaller spacing leaves the impressions more height", 711, 611, 13, 5, {},
         {{Field::Reading, any, 63}, {Field::Impressions, any, 167, any, 290}, {Field::Note2, any, 514}}},
        {"hidden rows close up", 711, 611, 13, 10,
         {Field::Subtitle, Field::Translator, Field::Impressions, Field::Reading},
         {{Field::Title, any, 37, 560}, {Field::Genre1, any, 68, 195}, {Field::Author, any, 99, 525},
          {Field::DateFinished, any, 192}, {Field::Note2, any, 254}}},
        {"title and subtitle hidden: row 2 moves up", 711, 611, 13, 10,
         {Field::Title, Field::Subtitle}, {{Field::Reading, any, 37}}},
        {"the impressions keep two lines in a low window", 711, 300, 13, 10, {},
         {{Field::Impressions, any, 192, any, 42}, {Field::Note2, any, 306}}},
        {"one pixel above the two-line limit the formula wins", 711, 404, 13, 10, {},
         {{Field::Impressions, any, 192, any, 43}}},
        {"labels taller than the edits set the row pitch", 711, 611, 46, 10, {},
         {{Field::Title, any, 39}, {Field::Reading, any, 83}, {Field::Note2, any, 607}}},
        {"hidden neighbours widen the fields", 711, 611, 13, 10,
         {Field::Genre1, Field::Price, Field::EditionRead, Field::DateStarted},
         {{Field::Reading, any, any, 325}, {Field::Series, any, any, 303},
          {Field::FirstEdition, any, any, 496}, {Field::DateFinished, any, any, 324}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FieldGeometry g = designGeometry(c.labelHeight);
        const LayoutInputs in = inputs(c.width, c.height, c.spacing, c.hidden);
        EXPECT_EQ(computeFieldLayout(g, in).spacing, c.spacing == 0 ? 10 : c.spacing);
        for (Field f : c.hidden)
            EXPECT_FALSE(g.control(f).visible) << fieldInfo(f).key;
        expectLayout(g, c.checks);
    }
}

TEST(FieldLayout, CombosShowTheirHeadingOnlyWithoutAFileName) {
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs(711, 611, 10, {Field::Genre2});
    EXPECT_EQ(computeFieldLayout(g, in).showHeading,
              (std::array<bool, kListCount>{true, false, true}));
    in.hasFileName = true;
    EXPECT_EQ(computeFieldLayout(g, in).showHeading,
              (std::array<bool, kListCount>{false, false, false}));
}

// A spacing from a damaged or hand-made file is kept as it is, yet laid out
// within reach, so that no position overflows.
TEST(FieldLayout, ExtremeSpacingIsKeptButLaidOutWithinReach) {
    for (int spacing : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 0}) {
        FieldGeometry g = designGeometry();
        const LayoutOutcome out = computeFieldLayout(g, inputs(711, 611, spacing));
        EXPECT_EQ(out.spacing, spacing == 0 ? 10 : spacing);
        for (const Box& b : g.controls)
            EXPECT_LT(std::abs(b.top), 100000) << spacing;
    }
}
