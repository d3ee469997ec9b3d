#include "main_window/FieldLayout.h"

namespace sorabel {

FieldGeometry FieldGeometry::design() {
    return {};
}

LayoutOutcome layoutFields(FieldGeometry&, const LayoutInputs& in) {
    LayoutOutcome out;
    out.spacing = in.spacing == 0 ? 10 : in.spacing;
    return out;
}

} // namespace sorabel
