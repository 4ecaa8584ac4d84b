// The text that a PDF made by Qt gives back when it is copied or searched.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>

namespace orv {

// Qt's PDF engine writes, for every embedded font, a ToUnicode map that names
// for each glyph the lowest code point below U+10000 that the font maps to
// that glyph, not the character that was drawn. CJK fonts (Noto Sans CJK among
// them) give a Kangxi radical (U+2F00..U+2FD5) or a CJK radical supplement
// character (U+2E80..U+2EF3) the very glyph of an ideograph, and those blocks
// lie below the ideographs: 月 drawn comes back as U+2F49, 巳 as U+2E92, and
// searching the PDF for "1월" or "乙亥" fails.

// The radicals that `font` draws with the glyph of an ideograph, each with the
// lowest such ideograph (the one Qt would name without the radicals). A
// radical with a glyph of its own is not in the table: a map naming it was
// given it by a radical drawn.
using RadicalIdeographs = QHash<char16_t, char16_t>;
RadicalIdeographs IdeographsSharingRadicalGlyphs(const QRawFont& font);

// Rewrites every target of the ToUnicode maps in `pdf` that is a radical of
// `ideographs` into its ideograph: the character of the shared glyph that a
// calendar draws. Each target is four hex digits before and after, so the file
// keeps its length and its cross-reference offsets. A radical that starts a
// run of consecutive code points (a linear bfrange, written by Qt only for ten
// and more glyphs in code point order) is left as it is: one entry cannot
// name other targets.
void NameIdeographsInToUnicodeMaps(QByteArray& pdf, const RadicalIdeographs& ideographs);

}  // namespace orv
