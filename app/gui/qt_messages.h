// Message boxes for the window.
#pragma once

#include <QWidget>

#include "app/core/messages.h"

namespace orv {

class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

 protected:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override;

 private:
  QWidget* parent_;
};

}  // namespace orv
