// Message boxes for the window. A short text is shown in a standard message
// box; a long one (a report) in a dialog with a scrollable, selectable
// read-only text box above the same buttons, under the same caption.
#pragma once

#include <QWidget>

#include <functional>

#include "app/core/messages.h"

namespace orv {

// The text a box shows for a message: the engine's English errors in Korean
// (with the original in brackets); every other text as it is.
std::string KoreanMessageText(const std::string& text);

// Whether a text is shown in the text box rather than a message box.
bool IsLongMessage(const std::string& text);

// A widget to show beside the text of a report with this caption (the day's
// pictures beside the day report, the map button beside the eclipse report);
// nullptr for none.
using ReportPanelFactory = std::function<QWidget*(const std::string& caption, QWidget* parent)>;

class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetReportPanels(ReportPanelFactory panels) { panels_ = std::move(panels); }

 protected:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override;

 private:
  QWidget* parent_;
  ReportPanelFactory panels_;
};

}  // namespace orv
