#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace sorabel {

// The text form in which searches compare: NFKC with case folding (Ａ = A = a,
// ｶﾞ = ガ) and hiragana turned into katakana (ねこ = ネコ). Voiced and
// semi-voiced marks, small kana and the long vowel mark stay as they are, so
// は, ば and ぱ, や and ゃ, and ラーメン and ラメン all stay apart.
//
// A folded text may be shorter or longer than its source (ｶﾞ is one
// character, ㍻ two), so folding also yields where each folded character came
// from, which turns a match in folded text back into a range of the source.
class SearchFold {
public:
    // origin[i] is the source offset of folded character i; an empty origin
    // means that folded and source offsets agree throughout, as they do for
    // most Japanese text (kana keep their length).
    using Origin = std::vector<int32_t>;

    struct Folded {
        QString text;
        Origin origin;
        qsizetype sourceLength = 0;
    };

    static Folded fold(QStringView text);

    // Appends the folded form of text to out and returns the origins of the
    // appended characters, counted from the start of text.
    static Origin appendFold(QStringView text, QString& out);

    // The folded form alone, for queries.
    static QString foldedText(QStringView text);

    // The source range [start, end) that folded characters [from, from + length)
    // (length > 0) came from.
    static qsizetype sourceStart(const Origin& origin, qsizetype from);
    static qsizetype sourceEnd(const Origin& origin, qsizetype sourceLength, qsizetype from,
                               qsizetype length);
};

} // namespace sorabel
