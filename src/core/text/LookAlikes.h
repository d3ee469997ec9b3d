#pragma once

#include <QString>

namespace sorabel {

// Replaces the characters that text from other programs commonly carries in
// place of their code page 932 look-alikes: 〜 U+301C, − U+2212, ‖ U+2016,
// — U+2014, ¢ U+00A2, £ U+00A3, ¬ U+00AC and ¥ U+00A5 become ～ U+FF5E,
// － U+FF0D, ∥ U+2225, ― U+2015, ￠ U+FFE0, ￡ U+FFE1, ￢ U+FFE2 and ￥ U+FFE5.
// Everything else is left as it is.
QString toCodePageLookAlikes(QString text);

} // namespace sorabel
