#pragma once

#include "core/catalogue/Catalogue.h"

#include <array>

namespace sorabel {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool operator==(const Box&) const = default;
};

// Geometry of the 16 captions (caption k at [k - 1]) and 19 field controls ([index(Field)]).
struct FieldGeometry {
    std::array<Box, kCaptionCount> labels;
    std::array<Box, kFieldCount> controls;
    // The design positions before the first layout; label width/height are 0 here
    // (labels size themselves to caption and font: the caller fills them in).
    static FieldGeometry design();
    Box& label(int caption) { return labels[static_cast<size_t>(caption - 1)]; } // 1..16
    Box& control(Field f) { return controls[static_cast<size_t>(index(f))]; }
    const Box& label(int caption) const { return labels[static_cast<size_t>(caption - 1)]; }
    const Box& control(Field f) const { return controls[static_cast<size_t>(index(f))]; }
};

struct LayoutInputs {
    int windowWidth = 0;                  // W: outer width of the main window
    int windowHeight = 0;                 // FH: outer height
    int editHeight = 0;                   // H: height of the title's edit
    std::array<Bytes, kFieldCount> flags; // shown only when exactly "TRUE"
    int spacing = 0;                      // SP as held by the catalogue (0 means 10)
    bool hasFileName = false;
};

struct LayoutOutcome {
    int spacing = 10; // spacing after the 0-to-10 rule (write back to the catalogue)
    std::array<bool, kListCount> showHeading{}; // combo boxes that get their list heading as text
    int statusPanelWidth = 0; // W / 2 for both panels (status then sets panel 0 to W / 5)
};

// Lays the fields out in place: reads the present geometry (label sizes, control heights,
// and the Tops/Lefts that the rules copy), writes every Box's left/top/width/height/visible.
LayoutOutcome computeFieldLayout(FieldGeometry& geometry, const LayoutInputs& in);

} // namespace sorabel
