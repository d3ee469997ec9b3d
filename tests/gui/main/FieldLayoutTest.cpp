#include "gui/main/FieldLayout.h"

#include <gtest/gtest.h>
#include <vector>

using namespace sorabel;

namespace {

// Caption widths of the default captions in the design label font.
constexpr std::array<int, kCaptionCount> kLabelWidths{42, 48, 42, 84, 42, 42, 42, 42,
                                                      98, 56, 42, 42, 70, 42, 42, 42};

FieldGeometry designGeometry(int labelHeight = 13) {
    FieldGeometry g = FieldGeometry::design();
    for (int c = 1; c <= kCaptionCount; ++c) {
        g.label(c).width = kLabelWidths[static_cast<size_t>(c - 1)];
        g.label(c).height = labelHeight;
    }
    return g;
}

LayoutInputs inputs(int width = 711, int height = 611, int spacing = 10) {
    LayoutInputs in;
    in.windowWidth = width;
    in.windowHeight = height;
    in.editHeight = 21;
    in.spacing = spacing;
    in.flags.fill("TRUE");
    return in;
}

void setFlag(LayoutInputs& in, Field f, const char* value) {
    in.flags[static_cast<size_t>(index(f))] = value;
}

} // namespace

// The worked example: the designed window with every field shown.
TEST(FieldLayout, DesignWindowWithEveryFieldShown) {
    FieldGeometry g = designGeometry();
    const LayoutOutcome out = computeFieldLayout(g, inputs());

    EXPECT_EQ(out.spacing, 10);
    EXPECT_EQ(out.statusPanelWidth, 355);

    // Row 1
    EXPECT_EQ(g.control(Field::Title), (Box{51, 37, 280, 21, true}));
    EXPECT_EQ(g.label(1), (Box{8, 41, 42, 13, true}));
    EXPECT_EQ(g.label(2), (Box{342, 41, 48, 13, true}));
    EXPECT_EQ(g.control(Field::Subtitle), (Box{391, 37, 280, 21, true}));
    // Row 2
    EXPECT_EQ(g.control(Field::Reading), (Box{51, 68, 195, 21, true}));
    EXPECT_EQ(g.label(3).top, 72);
    EXPECT_EQ(g.control(Field::Genre1), (Box{258, 68, 130, 21, true}));
    EXPECT_EQ(g.control(Field::Genre2), (Box{399, 68, 130, 21, true}));
    EXPECT_EQ(g.control(Field::Format), (Box{541, 68, 130, 21, true}));
    // Row 3
    EXPECT_EQ(g.control(Field::Author), (Box{93, 99, 315, 21, true}));
    EXPECT_EQ(g.label(5).left, 418);
    EXPECT_EQ(g.label(5).top, 103);
    EXPECT_EQ(g.control(Field::Translator), (Box{461, 99, 210, 21, true}));
    // Row 4: the price takes the publisher's height instead of its own 25
    EXPECT_EQ(g.control(Field::Publisher), (Box{51, 130, 202, 21, true}));
    EXPECT_EQ(g.label(7).left, 263);
    EXPECT_EQ(g.control(Field::Series), (Box{306, 130, 202, 21, true}));
    EXPECT_EQ(g.label(8).left, 527);
    EXPECT_EQ(g.control(Field::Price), (Box{570, 130, 101, 21, true}));
    EXPECT_EQ(g.label(8).top, 134);
    // Row 5
    EXPECT_EQ(g.control(Field::FirstEdition), (Box{107, 161, 248, 21, true}));
    EXPECT_EQ(g.label(10).left, 366);
    EXPECT_EQ(g.control(Field::EditionRead), (Box{423, 161, 248, 21, true}));
    // Row 6
    EXPECT_EQ(g.control(Field::Impressions), (Box{51, 192, 620, 250, true}));
    EXPECT_EQ(g.label(11).top, 196);
    // Row 7
    EXPECT_EQ(g.control(Field::DateFinished), (Box{51, 452, 162, 21, true}));
    EXPECT_EQ(g.label(13).left, 223);
    EXPECT_EQ(g.control(Field::DateStarted), (Box{294, 452, 162, 21, true}));
    EXPECT_EQ(g.label(14).left, 466);
    EXPECT_EQ(g.control(Field::DateBought), (Box{509, 452, 162, 21, true}));
    EXPECT_EQ(g.label(14).top, 456);
    // Rows 8 and 9
    EXPECT_EQ(g.control(Field::Note1), (Box{51, 483, 619, 21, true}));
    EXPECT_EQ(g.control(Field::Note2), (Box{51, 514, 619, 21, true}));
    EXPECT_EQ(g.label(16).top, 518);

    // The left-column labels never move sideways.
    for (int c : {1, 3, 4, 6, 9, 11, 12, 15, 16})
        EXPECT_EQ(g.label(c).left, 8) << "Label" << c;

    // A second run on the laid-out window changes nothing.
    FieldGeometry again = g;
    computeFieldLayout(again, inputs());
    EXPECT_EQ(again.labels, g.labels);
    EXPECT_EQ(again.controls, g.controls);
}

// The second worked example: a larger window laid out again.
TEST(FieldLayout, ANewWindowSizeTakesEffectOnTheNextLayout) {
    FieldGeometry g = designGeometry();
    computeFieldLayout(g, inputs());
    const LayoutOutcome out = computeFieldLayout(g, inputs(900, 700));
    EXPECT_EQ(out.statusPanelWidth, 450);

    EXPECT_EQ(g.control(Field::Title), (Box{51, 37, 375, 21, true}));
    EXPECT_EQ(g.label(2).left, 436);
    EXPECT_EQ(g.control(Field::Subtitle).left, 485);
    EXPECT_EQ(g.control(Field::Reading).width, 258);
    EXPECT_EQ(g.control(Field::Genre1), (Box{321, 68, 172, 21, true}));
    EXPECT_EQ(g.control(Field::Genre2).left, 504);
    EXPECT_EQ(g.control(Field::Format).left, 688);
    EXPECT_EQ(g.control(Field::Author).width, 426);
    EXPECT_EQ(g.label(5).left, 533);
    EXPECT_EQ(g.control(Field::Translator), (Box{576, 99, 284, 21, true}));
    EXPECT_EQ(g.control(Field::Publisher).width, 278);
    EXPECT_EQ(g.label(7).left, 339);
    EXPECT_EQ(g.control(Field::Series).left, 382);
    EXPECT_EQ(g.label(8).left, 678);
    EXPECT_EQ(g.control(Field::Price), (Box{721, 130, 139, 21, true}));
    EXPECT_EQ(g.control(Field::FirstEdition).width, 343);
    EXPECT_EQ(g.label(10).left, 460);
    EXPECT_EQ(g.control(Field::EditionRead).left, 517);
    EXPECT_EQ(g.control(Field::Impressions), (Box{51, 192, 809, 339, true}));
    EXPECT_EQ(g.control(Field::DateFinished), (Box{51, 541, 225, 21, true}));
    EXPECT_EQ(g.label(13).left, 286);
    EXPECT_EQ(g.control(Field::DateStarted).left, 357);
    EXPECT_EQ(g.label(14).left, 592);
    EXPECT_EQ(g.control(Field::DateBought).left, 635);
    EXPECT_EQ(g.control(Field::Note1), (Box{51, 572, 808, 21, true}));
    EXPECT_EQ(g.control(Field::Note2).top, 603);
}

// The rules one by one, each on the designed window: what a flag, the
// spacing, the window size or the label height does to the rows.
TEST(FieldLayout, RulesOnTheDesignedWindow) {
    constexpr int skip = -1;
    struct Check {
        Field field;
        int top = skip, width = skip, height = skip;
    };
    struct Window {
        int width = 711, height = 611, labelHeight = 13, spacing = 10;
    };
    const struct {
        const char* name;
        Window window;
        std::vector<Field> hidden;
        std::vector<Check> checks;
    } cases[] = {
        {"spacing 0 means 10",
         {711, 611, 13, 0},
         {},
         {{Field::Reading, 68}, {Field::Impressions, 192, skip, 250}, {Field::Note2, 514}}},
        {"a smaller spacing leaves the impressions more height",
         {711, 611, 13, 5},
         {},
         {{Field::Reading, 63}, {Field::Impressions, 167, skip, 290}, {Field::Note2, 514}}},
        {"hidden rows close up",
         {},
         {Field::Subtitle, Field::Translator, Field::Impressions, Field::Reading},
         {{Field::Title, 37, 560},
          {Field::Genre1, 68, 195},
          {Field::Author, 99, 525},
          {Field::DateFinished, 192},
          {Field::Note2, 254}}},
        {"title and subtitle hidden: row 2 moves up",
         {},
         {Field::Title, Field::Subtitle},
         {{Field::Reading, 37}}},
        {"the impressions keep two lines in a low window",
         {711, 300},
         {},
         {{Field::Impressions, 192, skip, 42}, {Field::Note2, 306}}},
        {"one pixel above the two-line limit the formula wins",
         {711, 404},
         {},
         {{Field::Impressions, 192, skip, 43}}},
        {"labels taller than the edits set the row pitch",
         {711, 611, 46},
         {},
         {{Field::Title, 39}, {Field::Reading, 83}, {Field::Note2, 607}}},
        {"hidden neighbours widen the fields",
         {},
         {Field::Genre1, Field::Price, Field::EditionRead, Field::DateStarted},
         {{Field::Reading, skip, 325},
          {Field::Series, skip, 303},
          {Field::FirstEdition, skip, 496},
          {Field::DateFinished, skip, 324}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FieldGeometry g = designGeometry(c.window.labelHeight);
        LayoutInputs in = inputs(c.window.width, c.window.height, c.window.spacing);
        for (Field f : c.hidden)
            setFlag(in, f, "FALSE");
        EXPECT_EQ(computeFieldLayout(g, in).spacing, c.window.spacing == 0 ? 10 : c.window.spacing);
        for (Field f : c.hidden)
            EXPECT_FALSE(g.control(f).visible) << fieldInfo(f).key;
        for (const Check& k : c.checks) {
            const Box& b = g.control(k.field);
            EXPECT_TRUE(b.visible) << fieldInfo(k.field).key;
            if (k.top != skip)
                EXPECT_EQ(b.top, k.top) << fieldInfo(k.field).key;
            if (k.width != skip)
                EXPECT_EQ(b.width, k.width) << fieldInfo(k.field).key;
            if (k.height != skip)
                EXPECT_EQ(b.height, k.height) << fieldInfo(k.field).key;
        }
    }
}

TEST(FieldLayout, CombosShowTheirHeadingOnlyWithoutAFileName) {
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs();
    EXPECT_EQ(computeFieldLayout(g, in).showHeading,
              (std::array<bool, kListCount>{true, true, true}));

    setFlag(in, Field::Genre2, "FALSE");
    const LayoutOutcome out = computeFieldLayout(g, in);
    EXPECT_TRUE(out.showHeading[static_cast<size_t>(ChoiceList::Genre1)]);
    EXPECT_FALSE(out.showHeading[static_cast<size_t>(ChoiceList::Genre2)]);
    EXPECT_TRUE(out.showHeading[static_cast<size_t>(ChoiceList::Format)]);

    in.hasFileName = true;
    EXPECT_EQ(computeFieldLayout(g, in).showHeading,
              (std::array<bool, kListCount>{false, false, false}));
}
