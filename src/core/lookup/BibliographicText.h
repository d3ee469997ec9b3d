#pragma once

#include "core/lookup/BookData.h"

#include <QString>

// Helpers shared by the readers of the bibliographic sources: the sources
// write names, prices, dates and sizes each in their own ways.
namespace sorabel::bibliographic {

// Decodes the character references and the common named entities of HTML
// ("&amp;", "&#12316;", "&hellip;") and trims the text; sources sometimes
// escape twice.
QString decodeEntities(const QString& text);

// "夏目, 漱石, 1867-1916" → "夏目漱石"; "Doyle, Arthur Conan, 1859-1930" →
// "Arthur Conan Doyle"; a name without commas is kept (spaces inside a
// Japanese name are dropped).
QString cleanName(const QString& name);

// "夏目漱石 著" → {"夏目漱石", "著"}; "松岡佑子／訳" → {"松岡佑子", "訳"}; a
// name without a role word gets an empty role.
Contributor splitRole(const QString& text);

// True for roles that make the person a translator (訳, 共訳, 監訳, 翻訳, ...).
bool isTranslatorRole(const QString& role);

// "1500円+税", "本体1,500円", "1650円(税込)", "￥1,500" → price and tax.
void readPrice(const QString& text, BookData& book);

// "2019.7", "2019-07-10", "20190710", "2019年7月" → year and month (month 0
// when only the year is given).
void readDate(const QString& text, BookData& book);

// The format of a book this many centimetres tall ("文庫", "新書", "四六版",
// "A5版", "B5版", "A4版"); empty when the height tells nothing certain.
QString formatOfHeight(double centimetres);
// The height written in an extent such as "545p ; 16cm"; 0 when none.
double heightInExtent(const QString& extent);

// Katakana to hiragana (the long-vowel mark kept), spaces dropped: "ワガハイ ワ ネコ デ アル" →
// "わがはいわねこである".
QString readingInHiragana(const QString& reading);

} // namespace sorabel::bibliographic
