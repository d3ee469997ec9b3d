#include "gui/main/FieldLayout.h"

#include <algorithm>
#include <string_view>

namespace sorabel {

namespace {

struct DesignBox {
    int left, top, width, height;
};

// Captions 1..16: only left and top are designed; the size follows caption and font.
constexpr std::array<std::array<int, 2>, kCaptionCount> kDesignLabels{{
    {8, 40},    // caption 1:  title
    {288, 40},  // caption 2:  subtitle
    {8, 72},    // caption 3:  reading
    {8, 104},   // caption 4:  author
    {392, 104}, // caption 5:  translator
    {8, 136},   // caption 6:  publisher
    {272, 136}, // caption 7:  series
    {520, 136}, // caption 8:  price
    {8, 168},   // caption 9:  first edition
    {328, 168}, // caption 10: edition read
    {8, 200},   // caption 11: impressions
    {8, 424},   // caption 12: date finished
    {216, 424}, // caption 13: date started
    {456, 424}, // caption 14: date bought
    {8, 456},   // caption 15: note 1
    {8, 488},   // caption 16: note 2
}};

// The field controls in display order.
constexpr std::array<DesignBox, kFieldCount> kDesignControls{{
    {54, 37, 209, 21},   // title
    {336, 36, 209, 21},  // subtitle
    {56, 68, 209, 21},   // reading
    {287, 68, 121, 21},  // genre 1
    {423, 68, 121, 21},  // genre 2
    {560, 68, 65, 21},   // format
    {96, 100, 273, 21},  // author
    {440, 100, 225, 21}, // translator
    {56, 132, 201, 21},  // publisher
    {312, 132, 193, 21}, // series
    {568, 128, 89, 25},  // price
    {111, 164, 217, 21}, // first edition
    {392, 164, 225, 21}, // edition read
    {55, 193, 609, 201}, // impressions
    {55, 420, 150, 21},  // date finished
    {296, 420, 150, 21}, // date started
    {496, 420, 150, 21}, // date bought
    {55, 452, 593, 21},  // note 1
    {56, 484, 593, 21},  // note 2
}};

// One run of the layout. The rules deliberately read positions that earlier
// runs (or the design) left behind on hidden fields, so everything works on
// the geometry in place.
class Layouter {
public:
    Layouter(FieldGeometry& g, const LayoutInputs& in)
        : g_(g), in_(in), W_(in.windowWidth), FH_(in.windowHeight), H_(in.editHeight),
          stored_(in.spacing == 0 ? 10 : in.spacing),
          // A spacing far beyond any window (a damaged or hand-made file) is
          // kept in the catalogue as it is but laid out within reach, so that
          // no position overflows.
          SP_(std::clamp(stored_, -kMaxSpacing, kMaxSpacing)) {}

    LayoutOutcome run() {
        OFS_ = (H_ - L(1).height) / 2;
        rowTitle();
        rowReading();
        rowAuthor();
        rowPublisher();
        rowEditions();
        rowImpressions();
        rowDates();
        rowNote(Field::Note1, true);
        rowNote(Field::Note2, false);

        LayoutOutcome out;
        out.spacing = stored_;
        for (Field f : {Field::Genre1, Field::Genre2, Field::Format})
            out.showHeading[static_cast<size_t>(choiceListOf(f))] = !in_.hasFileName && shown(f);
        out.statusPanelWidth = W_ / 2;
        return out;
    }

private:
    Box& L(int caption) { return g_.label(caption); }
    Box& E(Field f) { return g_.control(f); }
    Box& labelOf(Field f) { return L(fieldInfo(f).caption); }

    bool flagIs(Field f, std::string_view value) const {
        return in_.flags[static_cast<size_t>(index(f))] == value;
    }
    bool shown(Field f) const { return flagIs(f, "TRUE"); }

    // Sets the visibility of the control and its label (combos have none);
    // returns whether the field is shown.
    bool applyVisibility(Field f) {
        const bool visible = shown(f);
        E(f).visible = visible;
        if (fieldInfo(f).caption != 0)
            labelOf(f).visible = visible;
        return visible;
    }

    void leftColumn(Box& label, Box& edit) {
        edit.left = label.left + label.width + 1;
        edit.top = Y_;
        label.top = Y_ + OFS_;
    }

    void rightAligned(Box& label, Box& edit) {
        label.left = W_ - 41 - edit.width - label.width;
        edit.left = W_ - 40 - edit.width;
    }

    // The next row starts below the edit when the label fits inside it,
    // otherwise below the label.
    void advance(const Box& label, const Box& edit) {
        Y_ = OFS_ > 0 ? edit.top + edit.height + SP_ : label.top + label.height + SP_;
    }

    void rowTitle() {
        Box& l1 = L(1);
        Box& l2 = L(2);
        Box& title = E(Field::Title);
        Box& subtitle = E(Field::Subtitle);
        const int U = (W_ - l1.width - l2.width - 60) / 2;
        l1.top = title.top + OFS_;

        if (applyVisibility(Field::Title)) {
            title.width = U;
            title.left = l1.left + l1.width + 1;
            if (OFS_ > 0) {
                Y_ = title.top + H_ + SP_;
            } else {
                // Keep the tall label clear of the tool bar; the edit follows it.
                l1.top = std::max(l1.top, 27);
                title.top = l1.top - OFS_;
                Y_ = l1.top + l1.height + SP_;
            }
        } else {
            Y_ = 37;
        }

        if (applyVisibility(Field::Subtitle)) {
            subtitle.width = U;
            rightAligned(l2, subtitle);
            l2.top = l1.top;
            subtitle.top = title.top;
            advance(l2, subtitle);
        } else {
            title.width = 2 * U;
        }
    }

    void rowReading() {
        Box& l3 = L(3);
        Box& reading = E(Field::Reading);
        Box& genre1 = E(Field::Genre1);
        Box& genre2 = E(Field::Genre2);
        Box& format = E(Field::Format);
        const int U = (W_ - l3.width - 79) / 9;
        genre1.width = genre2.width = format.width = 2 * U;
        int GAP = (W_ - l3.width - 9 * U - 49) / 3;
        const bool readingFalse = flagIs(Field::Reading, "FALSE");

        if (applyVisibility(Field::Reading)) {
            reading.width = 3 * U;
            leftColumn(l3, reading);
            advance(l3, reading);
        } else {
            genre1.width = genre2.width = format.width = 3 * U;
            genre1.left = 10;
        }
        if (readingFalse)
            GAP = (W_ - genre1.width - genre2.width - format.width - 30) / 2;

        // The combos have no label of their own: they advance as the reading does.
        if (applyVisibility(Field::Genre1)) {
            genre1.top = reading.top;
            genre1.left = l3.width + SP_ + reading.width + GAP;
            advance(l3, reading);
            if (readingFalse)
                genre1.left = 8;
        } else {
            reading.width = 5 * U;
        }

        if (applyVisibility(Field::Genre2)) {
            genre2.top = reading.top;
            genre2.left = genre1.left + genre1.width + GAP;
            advance(l3, reading);
        } else {
            genre1.width += U;
            format.width += U;
            genre2.left = reading.left + reading.width + GAP;
        }

        if (applyVisibility(Field::Format)) {
            format.top = reading.top;
            format.left = W_ - format.width - 40;
            advance(l3, reading);
        } else {
            genre1.width = 3 * U;
            genre2.width = 3 * U;
            genre2.left = genre1.left + genre2.width + 10;
        }
    }

    void rowAuthor() {
        Box& l4 = L(4);
        Box& l5 = L(5);
        Box& author = E(Field::Author);
        Box& translator = E(Field::Translator);
        const int U = (W_ - l4.width - l5.width - 60) / 5;

        if (applyVisibility(Field::Author)) {
            author.width = 3 * U;
            leftColumn(l4, author);
            advance(l4, author);
        }
        translator.width = 2 * U;
        if (applyVisibility(Field::Translator)) {
            translator.top = author.top;
            l5.top = l4.top;
            rightAligned(l5, translator);
            advance(l5, translator);
        } else {
            author.width = 5 * U;
        }
    }

    void rowPublisher() {
        Box& l6 = L(6);
        Box& l7 = L(7);
        Box& l8 = L(8);
        Box& publisher = E(Field::Publisher);
        Box& series = E(Field::Series);
        Box& price = E(Field::Price);
        const int labels = l6.width + l7.width + l8.width;
        const int U = (W_ - labels - 76) / 5;
        publisher.width = 2 * U;
        series.width = 2 * U;
        price.width = U;
        const int GAP = (W_ - labels - 5 * U - 51) / 3;

        if (applyVisibility(Field::Publisher)) {
            leftColumn(l6, publisher);
            advance(l6, publisher);
        }
        if (applyVisibility(Field::Series)) {
            l7.left = publisher.left + publisher.width + 1 + GAP;
            series.left = l7.left + l7.width + 1;
            series.top = publisher.top;
            l7.top = l6.top;
            advance(l7, series);
        }
        if (applyVisibility(Field::Price)) {
            rightAligned(l8, price);
            price.height = publisher.height;
            price.top = publisher.top;
            l8.top = l6.top;
            advance(l8, price);
        } else if (flagIs(Field::Series, "TRUE")) {
            series.width = 3 * U;
        }
    }

    void rowEditions() {
        Box& l9 = L(9);
        Box& l10 = L(10);
        Box& first = E(Field::FirstEdition);
        Box& read = E(Field::EditionRead);
        const int U = (W_ - l9.width - l10.width - 60) / 2;
        read.width = U;

        if (applyVisibility(Field::FirstEdition)) {
            first.width = U;
            leftColumn(l9, first);
            advance(l9, first);
        }
        if (applyVisibility(Field::EditionRead)) {
            rightAligned(l10, read);
            read.top = first.top;
            l10.top = l9.top;
            advance(l10, read);
        } else {
            first.width = 2 * U;
        }
    }

    void rowImpressions() {
        Box& l11 = L(11);
        Box& impressions = E(Field::Impressions);
        if (!applyVisibility(Field::Impressions))
            return;
        impressions.width = W_ - 49 - l11.width;
        impressions.left = W_ - 40 - impressions.width;
        impressions.top = Y_;
        l11.top = OFS_ > 0 ? Y_ + OFS_ : Y_;
        // Whatever height the other eight rows leave, but never less than two lines.
        impressions.height = std::max(FH_ - 50 - 8 * SP_ - 11 * H_, 2 * H_);
        Y_ = impressions.top + impressions.height + SP_;
    }

    void rowDates() {
        Box& l12 = L(12);
        Box& l13 = L(13);
        Box& l14 = L(14);
        Box& finished = E(Field::DateFinished);
        Box& started = E(Field::DateStarted);
        Box& bought = E(Field::DateBought);
        const int labels = l12.width + l13.width + l14.width;
        const int U = (W_ - 70 - labels) / 3;
        finished.width = started.width = bought.width = U;
        const int GAP = (W_ - labels - 3 * U - 42) / 3;

        if (applyVisibility(Field::DateFinished)) {
            leftColumn(l12, finished);
            advance(l12, finished);
        }
        if (applyVisibility(Field::DateStarted)) {
            l13.left = finished.left + finished.width + 1 + GAP;
            started.left = l13.left + l13.width + 1;
            started.top = finished.top;
            l13.top = l12.top;
            advance(l13, started);
        } else {
            finished.width = 2 * U;
        }
        if (applyVisibility(Field::DateBought)) {
            rightAligned(l14, bought);
            bought.top = finished.top;
            l14.top = l12.top;
            advance(l14, bought);
        } else if (flagIs(Field::DateStarted, "TRUE")) {
            started.width = 2 * U;
        }
    }

    // The two note rows span the whole width; the last row leaves Y alone.
    void rowNote(Field f, bool advances) {
        Box& label = labelOf(f);
        Box& note = E(f);
        if (!applyVisibility(f))
            return;
        note.left = label.width + 9;
        note.width = W_ - 50 - label.width;
        note.top = Y_;
        label.top = Y_ + OFS_;
        if (advances)
            advance(label, note);
    }

    FieldGeometry& g_;
    const LayoutInputs& in_;
    static constexpr int kMaxSpacing = 1000;
    const int W_, FH_, H_, stored_, SP_;
    int OFS_ = 0;
    int Y_ = 0;
};

} // namespace

FieldGeometry FieldGeometry::design() {
    FieldGeometry g;
    for (size_t i = 0; i < g.labels.size(); ++i)
        g.labels[i] = Box{kDesignLabels[i][0], kDesignLabels[i][1], 0, 0, true};
    for (size_t i = 0; i < g.controls.size(); ++i) {
        const DesignBox& d = kDesignControls[i];
        g.controls[i] = Box{d.left, d.top, d.width, d.height, true};
    }
    return g;
}

LayoutOutcome computeFieldLayout(FieldGeometry& geometry, const LayoutInputs& in) {
    return Layouter(geometry, in).run();
}

} // namespace sorabel
