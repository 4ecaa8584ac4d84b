#include "app/gui/qt_messages.h"

#include <QMessageBox>

namespace orv {

MessageAnswer QtMessageSink::ShowMessage(const std::string& text, const std::string& caption,
                                  MessageButtons buttons, MessageIcon icon) {
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    default: break;
  }
  if (buttons == MessageButtons::RetryCancel) {
    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

}  // namespace orv
