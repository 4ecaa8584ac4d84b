// The ToUnicode maps of a PDF: targets that name a CJK radical become the
// ideograph of the same glyph, in place; everything else stays byte for byte.
#include <QFont>
#include <QGuiApplication>
#include <QRawFont>
#include <QtTest/QtTest>

#include "app/print/pdf_text.h"

using orv::IdeographsSharingRadicalGlyphs;
using orv::NameIdeographsInToUnicodeMaps;
using orv::RadicalIdeographs;

namespace {

// 乙, 巳, 月, 辰, 酉 and 己 as Noto Sans CJK draws them.
const RadicalIdeographs kShared = {
    {0x2F04, 0x4E59}, {0x2E92, 0x5DF3}, {0x2F49, 0x6708}, {0x2FA0, 0x8FB0}, {0x2FA3, 0x9149}, {0x2F30, 0x5DF1}};

}  // namespace

class PdfTextTest : public QObject {
  Q_OBJECT

 private slots:
  void radicalTargetsBecomeIdeographs_data() {
    QTest::addColumn<QByteArray>("cmap");
    QTest::addColumn<QByteArray>("expected");
    // As Qt writes them: one glyph to one target, and arrays.
    QTest::newRow("single") << QByteArray("<0003> <0003> <2f49>\n") << QByteArray("<0003> <0003> <6708>\n");
    QTest::newRow("array") << QByteArray("<0004> <0007> [<2f04> <ac00> <2FA0> <2fa3> ]\n")
                           << QByteArray("<0004> <0007> [<4e59> <ac00> <8FB0> <9149> ]\n");
    // A range of glyphs to a run of code points cannot be renamed in place.
    QTest::newRow("linear range") << QByteArray("<0010> <0019> <2f00>\n") << QByteArray("<0010> <0019> <2f00>\n");
    QTest::newRow("radical supplement") << QByteArray("<0008> <0008> <2e92>\n")
                                        << QByteArray("<0008> <0008> <5df3>\n");
    // A radical with a glyph of its own (drawn as a radical), and ideographs, stay.
    QTest::newRow("glyph of its own")
        << QByteArray("<0020> <0020> <2e80>\n<0021> <0021> <6708>\n")
        << QByteArray("<0020> <0020> <2e80>\n<0021> <0021> <6708>\n");
    // Two characters for one glyph (a ligature): only four-digit targets.
    QTest::newRow("two characters") << QByteArray("<0022> <0022> <2f492f49>\n")
                                    << QByteArray("<0022> <0022> <2f492f49>\n");
  }

  void radicalTargetsBecomeIdeographs() {
    QFETCH(QByteArray, cmap);
    QFETCH(QByteArray, expected);
    const QByteArray head = "%PDF-1.4\n5 0 obj\n<< /Length 99 >>\nstream\n<2f49> Tj begincmap\n2 beginbfrange\n";
    const QByteArray tail = "endbfrange\nendcmap\nendstream\n<2f49> Tj\n";
    QByteArray pdf = head + cmap + tail;
    NameIdeographsInToUnicodeMaps(pdf, kShared);
    QCOMPARE(pdf, head + expected + tail);
  }

  void charSectionsAndSeveralMapsAreRead() {
    const QByteArray map = "begincmap\n1 beginbfchar\n<0001> <2F30>\nendbfchar\nendcmap\n";
    QByteArray pdf = map + "binary <2f30> bytes\n" + map;
    NameIdeographsInToUnicodeMaps(pdf, kShared);
    const QByteArray renamed = "begincmap\n1 beginbfchar\n<0001> <5DF1>\nendbfchar\nendcmap\n";
    QCOMPARE(pdf, renamed + "binary <2f30> bytes\n" + renamed);
  }

  // The table from the font the pages are printed with.
  void theFontsSharedGlyphsAreFound() {
    QFont font;
    font.setFamilies({"Noto Sans CJK KR"});
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.familyName().startsWith("Noto Sans CJK")) QSKIP("Noto Sans CJK is not installed");
    const RadicalIdeographs table = IdeographsSharingRadicalGlyphs(raw);
    for (auto it = kShared.begin(); it != kShared.end(); ++it)
      QCOMPARE(table.value(it.key()), it.value());
    for (char16_t radical : table.keys()) QVERIFY(radical >= 0x2E80 && radical <= 0x2FDF);
    QVERIFY(IdeographsSharingRadicalGlyphs(QRawFont()).isEmpty());
  }

  void brokenMapsAreLeftAlone() {
    for (QByteArray pdf : {QByteArray("begincmap 1 beginbfrange <0001> <0001> <2f49"),
                           QByteArray("begincmap 1 beginbfrange <0001> [<2f49> endbfrange endcmap"),
                           QByteArray("beginbfrange <0001> <0001> <2f49> endbfrange")}) {
      const QByteArray before = pdf;
      NameIdeographsInToUnicodeMaps(pdf, kShared);
      QCOMPARE(pdf, before);
    }
  }
};

QTEST_MAIN(PdfTextTest)
#include "tst_pdftext.moc"
