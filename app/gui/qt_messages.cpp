#include "app/gui/qt_messages.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {
namespace {

// Texts longer than this (lines or bytes) go into the text box: a message
// box would grow past the screen.
constexpr int kLongMessageLines = 14;
constexpr size_t kLongMessageBytes = 900;
// The reports align their columns with tabs of eight characters.
constexpr int kTabCharacters = 8;
// The dialog takes at most this share of the screen.
constexpr double kMaxScreenShare = 0.8;
constexpr int kMinTextWidth = 420;
constexpr int kMinTextHeight = 160;

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
  }
}

MessageAnswer ShowInTextBox(QWidget* parent, const QString& text, const QString& caption, MessageButtons buttons) {
  QDialog dialog(parent);
  dialog.setObjectName("ReportDialog");
  dialog.setWindowTitle(caption);
  dialog.setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(&dialog);
  auto* box = new QPlainTextEdit(&dialog);
  box->setObjectName("ReportText");
  box->setReadOnly(true);
  box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setPlainText(text);
  box->setTabStopDistance(box->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * kTabCharacters);
  layout->addWidget(box);

  auto* buttonBox = new QDialogButtonBox(&dialog);
  if (buttons == MessageButtons::RetryCancel) {
    buttonBox->addButton(QDialogButtonBox::Retry);
    buttonBox->addButton(QDialogButtonBox::Cancel);
  } else {
    buttonBox->addButton(QDialogButtonBox::Ok);
  }
  QDialogButtonBox::StandardButton pressed = QDialogButtonBox::Cancel;
  QObject::connect(buttonBox, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton* button) {
    pressed = buttonBox->standardButton(button);
    dialog.done(pressed == QDialogButtonBox::Cancel ? QDialog::Rejected : QDialog::Accepted);
  });
  layout->addWidget(buttonBox);

  // As large as the text, within the screen.
  const QFontMetrics metrics(box->font());
  int widest = 0, lines = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    QString expanded = line;
    expanded.replace(QLatin1Char('\t'), QString(kTabCharacters, QLatin1Char(' ')));
    widest = std::max(widest, metrics.horizontalAdvance(expanded));
    ++lines;
  }
  QSize limit(1024, 768);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    limit = screen->availableSize() * kMaxScreenShare;
  const int margin = 4 * metrics.averageCharWidth();
  box->setMinimumSize(std::clamp(widest + margin, kMinTextWidth, std::max(kMinTextWidth, limit.width())),
                      std::clamp((lines + 2) * metrics.lineSpacing(), kMinTextHeight,
                                 std::max(kMinTextHeight, limit.height() - 4 * metrics.lineSpacing())));
  dialog.adjustSize();
  box->setMinimumSize(kMinTextWidth, kMinTextHeight);

  dialog.exec();  // Escape and the frame's close button leave `pressed` at Cancel
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return pressed == QDialogButtonBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
}

}  // namespace

bool IsLongMessage(const std::string& text) {
  return text.size() > kLongMessageBytes || std::count(text.begin(), text.end(), '\n') >= kLongMessageLines;
}

MessageAnswer QtMessageSink::ShowMessage(const std::string& text, const std::string& caption,
                                         MessageButtons buttons, MessageIcon icon) {
  if (IsLongMessage(text))
    return ShowInTextBox(parent_, QString::fromStdString(text), QString::fromStdString(caption), buttons);
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  box.setIcon(BoxIcon(icon));
  if (buttons == MessageButtons::RetryCancel) {
    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

}  // namespace orv
