// Paints printed calendar pages (app/core/print/print_pages.h) on any paged
// device: a printer chosen in the system's print dialog, or a PDF file.
// Needs QtGui only (no widgets), so that orvanta-cli can write the same pages.
#pragma once

#include <QPagedPaintDevice>
#include <QString>

#include "app/core/print/print_pages.h"

namespace orv {

// A4 landscape with 10 mm margins, as every page is laid out.
void SetPrintPageLayout(QPagedPaintDevice& device);

// Paints every page of `document` on `device` (whose page layout is set by
// the caller, see SetPrintPageLayout): one page per month, or one page of
// twelve small months. False when the device cannot be painted on.
bool PaintPrintDocument(const PrintDocument& document, QPagedPaintDevice& device);

// Writes `document` as a PDF file, atomically (an existing file is replaced
// only by a complete one). False with the reason in `error`.
bool WritePrintPdf(const PrintDocument& document, const QString& path, QString* error);

}  // namespace orv
