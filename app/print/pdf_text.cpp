#include "app/print/pdf_text.h"

#include <QChar>
#include <QList>
#include <QString>

#include <cctype>
#include <utility>

namespace orv {
namespace {

// A CMap's hex string <...>: [begin, end) of its digits.
struct HexToken {
  qsizetype begin = 0;
  qsizetype end = 0;
  qsizetype Digits() const { return end - begin; }
};

// Replaces the four-digit target at `token` by its ideograph, in the case of
// the digits that were there.
void RenameTarget(QByteArray& pdf, const HexToken& token, const RadicalIdeographs& ideographs) {
  if (token.Digits() != 4) return;
  bool ok = false;
  const uint code = pdf.mid(token.begin, 4).toUInt(&ok, 16);
  if (!ok) return;
  const auto found = ideographs.constFind(static_cast<char16_t>(code));
  if (found == ideographs.constEnd()) return;
  bool upper = false;
  for (qsizetype i = token.begin; i < token.end; ++i) upper |= std::isupper(static_cast<unsigned char>(pdf[i])) != 0;
  QByteArray digits = QByteArray::number(static_cast<uint>(found.value()), 16).rightJustified(4, '0');
  if (upper) digits = digits.toUpper();
  for (int i = 0; i < 4; ++i) pdf[token.begin + i] = digits[i];
}

class CMapReader {
 public:
  CMapReader(const QByteArray& pdf, qsizetype from, qsizetype to) : pdf_(pdf), at_(from), end_(to) {}

  void SkipBlanks() {
    while (at_ < end_ && std::isspace(static_cast<unsigned char>(pdf_[at_]))) ++at_;
  }
  bool Take(char ch) {
    SkipBlanks();
    if (at_ >= end_ || pdf_[at_] != ch) return false;
    ++at_;
    return true;
  }
  // The next <hex> string; false (nothing consumed) when there is none.
  bool Hex(HexToken& token) {
    SkipBlanks();
    if (at_ >= end_ || pdf_[at_] != '<') return false;
    const qsizetype close = pdf_.indexOf('>', at_ + 1);
    if (close < 0 || close >= end_) return false;
    token = {at_ + 1, close};
    at_ = close + 1;
    return true;
  }

 private:
  const QByteArray& pdf_;
  qsizetype at_;
  qsizetype end_;
};

// One "beginbfrange ... endbfrange" section between `from` and `to`.
void RenameInRanges(QByteArray& pdf, qsizetype from, qsizetype to, const RadicalIdeographs& ideographs) {
  CMapReader reader(pdf, from, to);
  HexToken low, high, target;
  while (reader.Hex(low) && reader.Hex(high)) {
    if (reader.Take('[')) {
      while (reader.Hex(target)) RenameTarget(pdf, target, ideographs);
      if (!reader.Take(']')) return;
    } else if (reader.Hex(target)) {
      // One glyph to one target; a range of glyphs to a run of code points
      // cannot be renamed in place.
      if (pdf.mid(low.begin, low.Digits()) == pdf.mid(high.begin, high.Digits())) RenameTarget(pdf, target, ideographs);
    } else {
      return;
    }
  }
}

// One "beginbfchar ... endbfchar" section between `from` and `to`.
void RenameInChars(QByteArray& pdf, qsizetype from, qsizetype to, const RadicalIdeographs& ideographs) {
  CMapReader reader(pdf, from, to);
  HexToken glyph, target;
  while (reader.Hex(glyph) && reader.Hex(target)) RenameTarget(pdf, target, ideographs);
}

void RenameSections(QByteArray& pdf, qsizetype from, qsizetype to, const QByteArray& begin, const QByteArray& end,
                    const RadicalIdeographs& ideographs,
                    void (*rename)(QByteArray&, qsizetype, qsizetype, const RadicalIdeographs&)) {
  for (qsizetype at = pdf.indexOf(begin, from); at >= 0 && at < to; at = pdf.indexOf(begin, at)) {
    const qsizetype start = at + begin.size();
    const qsizetype stop = pdf.indexOf(end, start);
    if (stop < 0 || stop > to) return;
    rename(pdf, start, stop, ideographs);
    at = stop + end.size();
  }
}

}  // namespace

RadicalIdeographs IdeographsSharingRadicalGlyphs(const QRawFont& font) {
  RadicalIdeographs table;
  if (!font.isValid()) return table;
  auto glyphsOf = [&font](char16_t first, char16_t last) {
    QString text;
    for (char32_t code = first; code <= last; ++code) text += QChar(static_cast<char16_t>(code));
    return std::pair{text, font.glyphIndexesForString(text)};
  };
  // The ideograph of each glyph: the lowest code point of the BMP's blocks.
  QHash<quint32, char16_t> ideographOfGlyph;
  for (const auto& [first, last] : {std::pair<char16_t, char16_t>{0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}}) {
    const auto [text, glyphs] = glyphsOf(first, last);
    for (qsizetype i = 0; i < glyphs.size() && i < text.size(); ++i)
      if (glyphs[i] != 0 && !ideographOfGlyph.contains(glyphs[i])) ideographOfGlyph.insert(glyphs[i], text[i].unicode());
  }
  const auto [radicals, glyphs] = glyphsOf(0x2E80, 0x2FDF);
  for (qsizetype i = 0; i < glyphs.size() && i < radicals.size(); ++i) {
    const auto found = ideographOfGlyph.constFind(glyphs[i]);
    if (glyphs[i] != 0 && found != ideographOfGlyph.constEnd()) table.insert(radicals[i].unicode(), found.value());
  }
  return table;
}

void NameIdeographsInToUnicodeMaps(QByteArray& pdf, const RadicalIdeographs& ideographs) {
  if (ideographs.isEmpty()) return;
  // Only the CMaps themselves (Qt writes them as plain streams), never the
  // bytes of fonts or pictures.
  static const QByteArray kCMapStart = "begincmap";
  static const QByteArray kCMapEnd = "endcmap";
  for (qsizetype at = pdf.indexOf(kCMapStart); at >= 0; at = pdf.indexOf(kCMapStart, at)) {
    const qsizetype start = at + kCMapStart.size();
    const qsizetype stop = pdf.indexOf(kCMapEnd, start);
    if (stop < 0) return;
    RenameSections(pdf, start, stop, "beginbfrange", "endbfrange", ideographs, RenameInRanges);
    RenameSections(pdf, start, stop, "beginbfchar", "endbfchar", ideographs, RenameInChars);
    at = stop + kCMapEnd.size();
  }
}

}  // namespace orv
