#pragma once

namespace sorabel {

// The windows are designed with "ＭＳ ゴシック" and "ＭＳ Ｐゴシック", which Linux
// does not have; the IPA fonts stand in for them with the same metrics.
class FontSubstitution {
public:
    static void install();
};

} // namespace sorabel
