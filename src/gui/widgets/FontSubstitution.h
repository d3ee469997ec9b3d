#pragma once

#include <QFont>
#include <QString>

namespace sorabel {

// The windows are designed with "ＭＳ ゴシック" and "ＭＳ Ｐゴシック", which Linux
// does not have; the IPA fonts stand in for them with the same metrics.
class FontSubstitution {
public:
    // Lets a font named by a catalogue or a setting after a designed face
    // find its stand-in.
    static void install();

    // A designed face at a pixel size, asked for by its stand-in's name: the
    // font database finds it at once, where the designed name is first
    // searched for in vain, with the system's fallback list worked out for
    // it (a few milliseconds each, at start-up).
    static QFont designFont(const QString& family, int pixels);
};

} // namespace sorabel
