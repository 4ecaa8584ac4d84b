// The printed calendar as a PDF file, for the command line. This header is
// free of Qt so that orvanta-cli's sources stay so; the program links the
// painting (print_painter.h) and QtGui for this one command.
#pragma once

#include <string>

#include "app/core/print/print_pages.h"

namespace orv {

// Writes `document` as a PDF file at `path`, atomically. A QGuiApplication on
// the offscreen platform (no display needed) is made for the call when none
// exists. False with the reason in `error`.
bool WritePrintFile(const PrintDocument& document, const std::string& path, std::string& error);

}  // namespace orv
