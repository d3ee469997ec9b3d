#include "gui/main/FieldLayout.h"

#include <gtest/gtest.h>

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

// Row tops of the edits after a layout, for checking how rows stack.
std::array<int, 9> rowTops(FieldGeometry& g) {
    return {g.control(Field::Title).top,   g.control(Field::Reading).top,
            g.control(Field::Author).top,  g.control(Field::Publisher).top,
            g.control(Field::FirstEdition).top,   g.control(Field::Impressions).top,
            g.control(Field::DateFinished).top, g.control(Field::Note1).top,
            g.control(Field::Note2).top};
}

} // namespace

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

TEST(FieldLayout, HiddenRowsCloseUp) {
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs();
    setFlag(in, Field::Subtitle, "FALSE");
    setFlag(in, Field::Translator, "FALSE");
    setFlag(in, Field::Impressions, "FALSE");
    setFlag(in, Field::Reading, "FALSE");
    computeFieldLayout(g, in);

    EXPECT_EQ(g.control(Field::Title).width, 560);
    EXPECT_FALSE(g.control(Field::Subtitle).visible);
    EXPECT_FALSE(g.label(2).visible);
    // The reading is hidden: the combos keep its design Top and share the row.
    EXPECT_FALSE(g.control(Field::Reading).visible);
    EXPECT_FALSE(g.label(3).visible);
    EXPECT_EQ(g.control(Field::Genre1), (Box{8, 68, 195, 21, true}));
    EXPECT_EQ(g.control(Field::Genre2), (Box{251, 68, 195, 21, true}));
    EXPECT_EQ(g.control(Field::Format), (Box{476, 68, 195, 21, true}));
    EXPECT_EQ(g.control(Field::Author).top, 99);
    EXPECT_EQ(g.control(Field::Author).width, 525);
    EXPECT_FALSE(g.label(5).visible);
    EXPECT_EQ(g.control(Field::Publisher).top, 130);
    EXPECT_EQ(g.control(Field::FirstEdition).top, 161);
    EXPECT_FALSE(g.control(Field::Impressions).visible);
    EXPECT_FALSE(g.label(11).visible);
    EXPECT_EQ(g.control(Field::DateFinished).top, 192);
    EXPECT_EQ(g.control(Field::Note1).top, 223);
    EXPECT_EQ(g.control(Field::Note2).top, 254);

    // Showing everything again brings the hidden fields back in place.
    computeFieldLayout(g, inputs());
    EXPECT_TRUE(g.control(Field::Impressions).visible);
    EXPECT_TRUE(g.label(3).visible);
    EXPECT_EQ(g.control(Field::Genre1), (Box{258, 68, 130, 21, true}));
    EXPECT_EQ(g.control(Field::Note2).top, 514);
}

TEST(FieldLayout, SpacingZeroMeansTenAndOtherSpacingsAreUsed) {
    FieldGeometry zero = designGeometry();
    const LayoutOutcome outZero = computeFieldLayout(zero, inputs(711, 611, 0));
    EXPECT_EQ(outZero.spacing, 10);
    EXPECT_EQ(rowTops(zero), (std::array<int, 9>{37, 68, 99, 130, 161, 192, 452, 483, 514}));

    FieldGeometry five = designGeometry();
    const LayoutOutcome outFive = computeFieldLayout(five, inputs(711, 611, 5));
    EXPECT_EQ(outFive.spacing, 5);
    EXPECT_EQ(rowTops(five), (std::array<int, 9>{37, 63, 89, 115, 141, 167, 462, 488, 514}));
    // A smaller gap leaves more height to the impressions.
    EXPECT_EQ(five.control(Field::Impressions).height, 290);
}

TEST(FieldLayout, ReadingFlagOnlyExactFalseMovesTheGenresToTheLeft) {
    for (const char* hidden : {"true", "", "False"}) {
        SCOPED_TRACE(hidden);
        FieldGeometry g = designGeometry();
        LayoutInputs in = inputs();
        setFlag(in, Field::Reading, hidden);
        computeFieldLayout(g, in);
        EXPECT_FALSE(g.control(Field::Reading).visible);
        EXPECT_FALSE(g.label(3).visible);
        // GAP keeps its first value (11) and genre 1 follows the hidden
        // reading's last width (its design 209).
        EXPECT_EQ(g.control(Field::Genre1), (Box{272, 68, 195, 21, true}));
        EXPECT_EQ(g.control(Field::Genre2).left, 478);
        EXPECT_EQ(g.control(Field::Format).left, 476);
    }

    // After a layout with the reading shown its last width is 195.
    FieldGeometry g = designGeometry();
    computeFieldLayout(g, inputs());
    LayoutInputs in = inputs();
    setFlag(in, Field::Reading, "true");
    computeFieldLayout(g, in);
    EXPECT_EQ(g.control(Field::Genre1).left, 258);
    EXPECT_EQ(g.control(Field::Genre2).left, 464);

    setFlag(in, Field::Reading, "FALSE");
    computeFieldLayout(g, in);
    EXPECT_EQ(g.control(Field::Genre1).left, 8);
    EXPECT_EQ(g.control(Field::Genre2).left, 251);
    EXPECT_EQ(g.control(Field::Format).left, 476);
}

TEST(FieldLayout, LabelsTallerThanTheEditsSetTheRowPitch) {
    // OFS = (21 - 46) / 2 = -12 (truncated toward zero, not -13): the title
    // label would start at 25 and is held at 27, the edit centred on it.
    FieldGeometry g = designGeometry(46);
    computeFieldLayout(g, inputs());
    EXPECT_EQ(g.label(1).top, 27);
    EXPECT_EQ(g.control(Field::Title).top, 39);
    EXPECT_EQ(g.label(2).top, 27);
    EXPECT_EQ(g.control(Field::Subtitle).top, 39);
    EXPECT_EQ(g.control(Field::Reading).top, 83);
    EXPECT_EQ(g.label(3).top, 71);
    EXPECT_EQ(g.control(Field::Genre1).top, 83);
    EXPECT_EQ(g.label(5).top, 115);
    EXPECT_EQ(rowTops(g), (std::array<int, 9>{39, 83, 127, 171, 215, 259, 519, 563, 607}));
    // The impressions label sits at the row top, not above it.
    EXPECT_EQ(g.label(11).top, 259);
    EXPECT_EQ(g.label(12).top, 507);
    EXPECT_EQ(g.label(16).top, 595);

    // A slightly taller label (OFS -2) needs no clamp.
    FieldGeometry h = designGeometry(25);
    computeFieldLayout(h, inputs());
    EXPECT_EQ(h.label(1).top, 35);
    EXPECT_EQ(h.control(Field::Title).top, 37);
    EXPECT_EQ(h.control(Field::Reading).top, 70);
    EXPECT_EQ(h.label(3).top, 68);
    EXPECT_EQ(h.control(Field::Author).top, 103);

    // OFS exactly 0 ((21 - 22) / 2) also advances from the label's bottom.
    FieldGeometry z = designGeometry(22);
    computeFieldLayout(z, inputs());
    EXPECT_EQ(z.label(1).top, 37);
    EXPECT_EQ(z.control(Field::Reading).top, 69);
}

TEST(FieldLayout, ImpressionsKeepTwoLinesInALowWindow) {
    FieldGeometry g = designGeometry();
    computeFieldLayout(g, inputs(711, 300));
    EXPECT_EQ(g.control(Field::Impressions).top, 192);
    EXPECT_EQ(g.control(Field::Impressions).height, 42);
    EXPECT_EQ(g.control(Field::DateFinished).top, 244);
    EXPECT_EQ(g.control(Field::Note2).top, 306);

    // One pixel above the two-line limit the formula wins.
    computeFieldLayout(g, inputs(711, 404));
    EXPECT_EQ(g.control(Field::Impressions).height, 43);
}

TEST(FieldLayout, HiddenFirstFieldLeavesItsTopToTheRow) {
    // Title hidden, subtitle shown: the subtitle stays on the title's row.
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs();
    setFlag(in, Field::Title, "FALSE");
    computeFieldLayout(g, in);
    EXPECT_FALSE(g.control(Field::Title).visible);
    EXPECT_FALSE(g.label(1).visible);
    EXPECT_EQ(g.control(Field::Subtitle), (Box{391, 37, 280, 21, true}));
    EXPECT_EQ(g.label(2), (Box{342, 41, 48, 13, true}));
    EXPECT_EQ(g.control(Field::Reading).top, 68);

    // Both hidden: row 2 moves up to the first row's place.
    setFlag(in, Field::Subtitle, "FALSE");
    computeFieldLayout(g, in);
    EXPECT_EQ(g.control(Field::Reading).top, 37);

    // Reading hidden later: the genres stay at the reading's last Top even
    // though row 1 is back, and the next row starts below them.
    FieldGeometry h = designGeometry();
    computeFieldLayout(h, inputs(711, 611, 30));
    EXPECT_EQ(h.control(Field::Reading).top, 88);
    LayoutInputs noReading = inputs();
    setFlag(noReading, Field::Reading, "FALSE");
    computeFieldLayout(h, noReading);
    EXPECT_EQ(h.control(Field::Genre1).top, 88);
    EXPECT_EQ(h.control(Field::Genre2).top, 88);
    EXPECT_EQ(h.control(Field::Format).top, 88);
    EXPECT_EQ(h.control(Field::Author).top, 119);

    // Author hidden, translator shown: the translator keeps the design Tops.
    FieldGeometry a = designGeometry();
    LayoutInputs noAuthor = inputs();
    setFlag(noAuthor, Field::Author, "FALSE");
    computeFieldLayout(a, noAuthor);
    EXPECT_EQ(a.control(Field::Translator).top, 100);
    EXPECT_EQ(a.label(5).top, 104);
    EXPECT_EQ(a.control(Field::Publisher).top, 131);
}

TEST(FieldLayout, HiddenFieldsWidenTheirNeighbours) {
    auto run = [](std::initializer_list<Field> hidden) {
        FieldGeometry g = designGeometry();
        LayoutInputs in = inputs();
        for (Field f : hidden)
            setFlag(in, f, "FALSE");
        computeFieldLayout(g, in);
        return g;
    };

    FieldGeometry g = run({Field::Genre1});
    EXPECT_EQ(g.control(Field::Reading).width, 325);
    EXPECT_FALSE(g.control(Field::Genre1).visible);

    g = run({Field::Genre2});
    EXPECT_EQ(g.control(Field::Genre1), (Box{258, 68, 195, 21, true}));
    EXPECT_EQ(g.control(Field::Format), (Box{476, 68, 195, 21, true}));

    g = run({Field::Format});
    EXPECT_EQ(g.control(Field::Genre1), (Box{258, 68, 195, 21, true}));
    EXPECT_EQ(g.control(Field::Genre2), (Box{463, 68, 195, 21, true}));

    g = run({Field::Translator});
    EXPECT_EQ(g.control(Field::Author).width, 525);
    EXPECT_EQ(g.control(Field::Translator).width, 210);

    g = run({Field::Price});
    EXPECT_EQ(g.control(Field::Series).width, 303);
    EXPECT_FALSE(g.label(8).visible);
    EXPECT_EQ(g.control(Field::Price).height, 25); // not copied while hidden
    g = run({Field::Price, Field::Series});
    EXPECT_EQ(g.control(Field::Series).width, 202);

    g = run({Field::EditionRead});
    EXPECT_EQ(g.control(Field::FirstEdition).width, 496);

    g = run({Field::DateStarted});
    EXPECT_EQ(g.control(Field::DateFinished).width, 324);
    EXPECT_EQ(g.control(Field::DateBought).left, 509);
    g = run({Field::DateBought});
    EXPECT_EQ(g.control(Field::DateStarted).width, 324);
    g = run({Field::DateStarted, Field::DateBought});
    EXPECT_EQ(g.control(Field::DateFinished).width, 324);
    EXPECT_EQ(g.control(Field::DateStarted).width, 162);

    g = run({Field::Note1});
    EXPECT_FALSE(g.label(15).visible);
    EXPECT_EQ(g.control(Field::Note2).top, 483);
}

TEST(FieldLayout, EverythingHiddenButTheLastNoteMovesItToTheTop) {
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs();
    in.flags.fill("FALSE");
    setFlag(in, Field::Note2, "TRUE");
    const LayoutOutcome out = computeFieldLayout(g, in);
    EXPECT_EQ(g.control(Field::Note2), (Box{51, 37, 619, 21, true}));
    EXPECT_EQ(g.label(16).top, 41);
    for (int i = 0; i < kFieldCount - 1; ++i)
        EXPECT_FALSE(g.controls[static_cast<size_t>(i)].visible) << i;
    for (int c = 1; c < kCaptionCount; ++c)
        EXPECT_FALSE(g.label(c).visible) << c;
    EXPECT_EQ(out.showHeading, (std::array<bool, kListCount>{false, false, false}));
}

TEST(FieldLayout, CombosShowTheirHeadingOnlyWithoutAFileName) {
    FieldGeometry g = designGeometry();
    LayoutInputs in = inputs();
    EXPECT_EQ(computeFieldLayout(g, in).showHeading, (std::array<bool, kListCount>{true, true, true}));

    setFlag(in, Field::Genre2, "FALSE");
    const LayoutOutcome out = computeFieldLayout(g, in);
    EXPECT_TRUE(out.showHeading[static_cast<size_t>(ChoiceList::Genre1)]);
    EXPECT_FALSE(out.showHeading[static_cast<size_t>(ChoiceList::Genre2)]);
    EXPECT_TRUE(out.showHeading[static_cast<size_t>(ChoiceList::Format)]);

    in.hasFileName = true;
    EXPECT_EQ(computeFieldLayout(g, in).showHeading, (std::array<bool, kListCount>{false, false, false}));
}

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
