#include "app/print/print_painter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>

#include "app/core/files/files.h"
#include "app/core/month_palette.h"
#include "app/print/pdf_text.h"

namespace orv {
namespace {

// Layout units: tenths of a millimetre on the page.
constexpr double kUnitsPerMm = 10.0;
constexpr double kUnitsPerPoint = kUnitsPerMm * 25.4 / 72.0;
constexpr double kMarginMm = 10.0;
constexpr int kPdfResolutionDpi = 300;

// Month page, in millimetres.
constexpr double kHeaderMm = 17.0;
constexpr double kWeekdayRowMm = 7.0;
constexpr double kFooterMm = 5.0;
constexpr double kCellInsetMm = 1.2;

// The days' colours come from the month palette; these are the page's own.
QColor Colour(const Rgb& c) { return QColor(c.r, c.g, c.b); }
const QColor kText = Colour(palette::kBlack);
const QColor kRed = Colour(palette::kRed);
const QColor kBlue = Colour(palette::kSaturdayBlue);
const QColor kPaleText(0x90, 0x90, 0x90);
const QColor kOutsideBack(0xF3, 0xF3, 0xF3);
const QColor kRule(0x60, 0x60, 0x60);
const QColor kHeaderBack(0xE8, 0xE8, 0xE8);

QString Q(const std::string& s) { return QString::fromStdString(s); }

QFont PrintFont(double points, bool bold = false) {
  QFont font;
  font.setFamilies({"Noto Sans CJK KR", "Noto Sans KR", "Noto Sans CJK JP", "굴림", "Gulim", "WenQuanYi Zen Hei"});
  font.setPixelSize(std::max(1, static_cast<int>(points * kUnitsPerPoint + 0.5)));
  font.setBold(bold);
  return font;
}

double Mm(double mm) { return mm * kUnitsPerMm; }

// A line's palette colour; the days of the months before and after are
// printed pale (halfway to white).
QColor LineInk(const PrintDay& d, int line) {
  const Rgb& c = d.colours[line].text;
  if (d.inMonth) return Colour(c);
  if (c == palette::kBlack) return kPaleText;
  auto pale = [](std::uint8_t v) { return (v + 256) / 2; };
  return QColor(pale(c.r), pale(c.g), pale(c.b));
}

QColor DayColour(const PrintDay& d) { return LineInk(d, 0); }

bool Highlighted(const PrintDay& d) { return d.colours[2].hasBack; }

// Draws `text` in `rect` with one line per break and the rest elided.
void DrawLines(QPainter& p, const QRectF& rect, const QString& text, int flags) {
  p.drawText(rect, flags | Qt::TextWordWrap, text);
}

void PaintMonthPage(QPainter& p, const PrintMonthPage& page, const PrintDocument& doc, const QSizeF& size) {
  const double w = size.width(), h = size.height();
  // Header: the month, the pillars by the terms, the place and the year's pillar.
  p.setPen(kText);
  p.setFont(PrintFont(22, true));
  p.drawText(QRectF(0, 0, w / 2, Mm(10)), Qt::AlignLeft | Qt::AlignVCenter, Q(page.title));
  p.setFont(PrintFont(11));
  p.drawText(QRectF(w / 2, 0, w / 2, Mm(10)), Qt::AlignRight | Qt::AlignVCenter, Q(page.header));
  p.setFont(PrintFont(10));
  p.drawText(QRectF(0, Mm(10), w, Mm(6)), Qt::AlignLeft | Qt::AlignVCenter, Q(page.pillarLine));

  // Weekday row.
  const double top = Mm(kHeaderMm);
  const double columnWidth = w / MonthGrid::kDaysPerWeek;
  p.fillRect(QRectF(0, top, w, Mm(kWeekdayRowMm)), kHeaderBack);
  p.setFont(PrintFont(10, true));
  for (int c = 0; c < MonthGrid::kDaysPerWeek; ++c) {
    p.setPen(c == 0 ? kRed : c == MonthGrid::kDaysPerWeek - 1 ? kBlue : kText);
    p.drawText(QRectF(c * columnWidth, top, columnWidth, Mm(kWeekdayRowMm)), Qt::AlignCenter,
               Q(kPrintWeekdayNames[c]));
  }

  // The weeks.
  const double gridTop = top + Mm(kWeekdayRowMm);
  const double gridHeight = h - gridTop - Mm(kFooterMm);
  const int weeks = std::clamp(page.weeks, 1, MonthGrid::kWeeks);
  const double rowHeight = gridHeight / weeks;
  const double inset = Mm(kCellInsetMm);
  const QFont dayFont = PrintFont(15, true);
  const QFont smallFont = PrintFont(7.5);
  const QFont nameFont = PrintFont(7.5);
  const double smallLine = QFontMetricsF(smallFont).height();
  for (int k = 0; k < weeks * MonthGrid::kDaysPerWeek; ++k) {
    const PrintDay& d = page.days[k];
    const QRectF cell((k % 7) * columnWidth, gridTop + (k / 7) * rowHeight, columnWidth, rowHeight);
    if (!d.inMonth) p.fillRect(cell, kOutsideBack);
    else if (Highlighted(d)) p.fillRect(cell, Colour(d.colours[2].back));
    const QRectF inner = cell.adjusted(inset, inset * 0.6, -inset, -inset);
    p.setFont(dayFont);
    p.setPen(DayColour(d));
    const double dayHeight = QFontMetricsF(dayFont).height();
    p.drawText(QRectF(inner.left(), inner.top(), inner.width(), dayHeight), Qt::AlignLeft | Qt::AlignTop,
               Q(d.day));
    // The lunar date (with its term or moon) beside the day number, right.
    p.setFont(smallFont);
    p.setPen(LineInk(d, 1));
    p.drawText(QRectF(inner.left(), inner.top(), inner.width(), smallLine * 2), Qt::AlignRight | Qt::AlignTop,
               Q(d.lunar).trimmed());
    // Day name, holidays and anniversaries below.
    p.setFont(nameFont);
    p.setPen(LineInk(d, 2));
    const QRectF names(inner.left(), inner.top() + dayHeight, inner.width(), inner.bottom() - inner.top() - dayHeight);
    DrawLines(p, names, Q(d.names), Qt::AlignLeft | Qt::AlignTop);
  }
  // Rules.
  p.setPen(QPen(kRule, Mm(0.2)));
  for (int r = 0; r <= weeks; ++r) p.drawLine(QPointF(0, gridTop + r * rowHeight), QPointF(w, gridTop + r * rowHeight));
  for (int c = 0; c <= MonthGrid::kDaysPerWeek; ++c)
    p.drawLine(QPointF(c * columnWidth, top), QPointF(c * columnWidth, gridTop + weeks * rowHeight));
  p.drawLine(QPointF(0, top), QPointF(w, top));

  p.setPen(kPaleText);
  p.setFont(PrintFont(7));
  p.drawText(QRectF(0, h - Mm(kFooterMm) + Mm(1), w, Mm(kFooterMm) - Mm(1)), Qt::AlignLeft | Qt::AlignVCenter,
             Q(doc.footer));
}

void PaintYearPage(QPainter& p, const PrintDocument& doc, const QSizeF& size) {
  const double w = size.width(), h = size.height();
  p.setPen(kText);
  p.setFont(PrintFont(22, true));
  p.drawText(QRectF(0, 0, w / 2, Mm(11)), Qt::AlignLeft | Qt::AlignVCenter, Q(PrintYearText(doc.year)));
  p.setFont(PrintFont(12));
  p.drawText(QRectF(w / 2, 0, w / 2, Mm(11)), Qt::AlignRight | Qt::AlignVCenter,
             Q(doc.placeName + " · " + doc.yearPillar));
  constexpr int kColumns = 4, kRows = 3;
  const double top = Mm(14);
  const double gap = Mm(4);
  const double boxWidth = (w - gap * (kColumns - 1)) / kColumns;
  const double boxHeight = (h - top - Mm(kFooterMm) - gap * (kRows - 1)) / kRows;
  for (size_t i = 0; i < doc.months.size() && i < kColumns * kRows; ++i) {
    const PrintMonthPage& m = doc.months[i];
    const double x0 = (i % kColumns) * (boxWidth + gap);
    const double y0 = top + (i / kColumns) * (boxHeight + gap);
    p.setPen(kText);
    p.setFont(PrintFont(11, true));
    const double titleHeight = Mm(6);
    p.drawText(QRectF(x0, y0, boxWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(m.month) + "월");
    const double cw = boxWidth / 7;
    const double weekdayHeight = Mm(4);
    p.setFont(PrintFont(7, true));
    for (int c = 0; c < 7; ++c) {
      p.setPen(c == 0 ? kRed : c == 6 ? kBlue : kText);
      p.drawText(QRectF(x0 + c * cw, y0 + titleHeight, cw, weekdayHeight), Qt::AlignCenter,
                 Q(kPrintWeekdayNames[c]));
    }
    const double rowTop = y0 + titleHeight + weekdayHeight;
    const double rh = (boxHeight - titleHeight - weekdayHeight) / MonthGrid::kWeeks;
    p.setPen(QPen(kRule, Mm(0.15)));
    p.drawLine(QPointF(x0, rowTop), QPointF(x0 + boxWidth, rowTop));
    for (int k = 0; k < MonthGrid::kCells; ++k) {
      const PrintDay& d = m.days[k];
      if (!d.inMonth) continue;
      const QRectF cell(x0 + (k % 7) * cw, rowTop + (k / 7) * rh, cw, rh);
      if (Highlighted(d)) p.fillRect(cell, Colour(d.colours[2].back));
      p.setFont(PrintFont(9, true));
      p.setPen(DayColour(d));
      p.drawText(cell.adjusted(0, 0, 0, -rh * 0.42), Qt::AlignHCenter | Qt::AlignBottom, Q(d.day));
      // Under the number: the lunar date.
      QString lunar = Q(d.lunar).trimmed();
      lunar = lunar.left(lunar.indexOf(' ') < 0 ? lunar.size() : lunar.indexOf(' '));
      p.setFont(PrintFont(5));
      // A term keeps its colour; a plain date is printed pale under the number.
      p.setPen(d.cell.markKind == SecondLineMark::SectionalTerm || d.cell.markKind == SecondLineMark::MajorTerm
                   ? LineInk(d, 1)
                   : kPaleText);
      p.drawText(cell.adjusted(0, rh * 0.58, 0, 0), Qt::AlignHCenter | Qt::AlignTop, lunar);
    }
  }
  p.setPen(kPaleText);
  p.setFont(PrintFont(7));
  p.drawText(QRectF(0, h - Mm(kFooterMm) + Mm(1), w, Mm(kFooterMm) - Mm(1)), Qt::AlignLeft | Qt::AlignVCenter,
             Q(doc.footer));
}

}  // namespace

void SetPrintPageLayout(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

bool PaintPrintDocument(const PrintDocument& document, QPagedPaintDevice& device) {
  QPainter p;
  if (!p.begin(&device)) return false;
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF paint = device.pageLayout().paintRect(QPageLayout::Millimeter);
  // Device pixels per layout unit.
  const double scale = device.logicalDpiX() / 25.4 / kUnitsPerMm;
  const QSizeF size(paint.width() * kUnitsPerMm, paint.height() * kUnitsPerMm);
  auto startPage = [&] {
    p.resetTransform();
    p.scale(scale, scale);
  };
  if (document.yearView) {
    startPage();
    PaintYearPage(p, document, size);
  } else {
    for (size_t i = 0; i < document.months.size(); ++i) {
      if (i > 0) device.newPage();
      startPage();
      PaintMonthPage(p, document.months[i], document, size);
    }
  }
  return p.end();
}

bool WritePrintPdf(const PrintDocument& document, const QString& path, QString* error) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolutionDpi);
    writer.setCreator("Orvanta");
    writer.setTitle(QString::fromStdString(document.yearView || document.months.empty()
                                               ? PrintYearText(document.year)
                                               : document.months.front().title));
    SetPrintPageLayout(writer);
    if (!PaintPrintDocument(document, writer)) {
      if (error) *error = "PDF를 만들 수 없습니다.";
      return false;
    }
  }
  std::string why;
  QByteArray bytes = buffer.data();
  // Copied text is the text drawn (pdf_text.h), for both weights of the pages.
  RadicalIdeographs ideographs = IdeographsSharingRadicalGlyphs(QRawFont::fromFont(PrintFont(10)));
  ideographs.insert(IdeographsSharingRadicalGlyphs(QRawFont::fromFont(PrintFont(10, true))));
  NameIdeographsInToUnicodeMaps(bytes, ideographs);
  if (!WriteFileAtomically(path.toStdString(), std::string(bytes.constData(), static_cast<size_t>(bytes.size())),
                           &why)) {
    if (error) *error = QString::fromStdString(why);
    return false;
  }
  return true;
}

}  // namespace orv
