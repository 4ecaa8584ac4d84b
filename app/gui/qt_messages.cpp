#include "app/gui/qt_messages.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
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

// Reports line up their columns with tabs: one monospaced font with Hangul
// and Han characters of twice the width of a Latin one (Debian's
// fonts-noto-cjk), or the system's monospaced font.
QFont ReportFont() {
  QFont font;
  font.setFamilies({"Noto Sans Mono CJK KR", "Noto Sans Mono CJK JP", "Noto Sans Mono CJK SC", "D2Coding",
                    "NanumGothicCoding", "monospace"});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// The day report's button that opens the four-pillars tool on the day.
QPushButton* AddPillarsButton(QDialogButtonBox& box) {
  QPushButton* button = box.addButton("사주", QDialogButtonBox::ActionRole);
  button->setObjectName("PillarsOfDay");
  return button;
}

MessageAnswer ShowInTextBox(QWidget* parent, const QString& text, const QString& caption, MessageButtons buttons,
                            const ReportPanelFactory& panels) {
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
  box->setFont(ReportFont());
  box->setPlainText(text);
  box->setTabStopDistance(box->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * kTabCharacters);
  QWidget* panel = panels ? panels(caption.toStdString(), &dialog) : nullptr;
  if (panel) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(panel, 1, Qt::AlignTop);
    layout->addLayout(row);
  } else {
    layout->addWidget(box);
  }

  auto* buttonBox = new QDialogButtonBox(&dialog);
  QPushButton* pillarsButton = nullptr;
  if (buttons == MessageButtons::RetryCancel || buttons == MessageButtons::RetryPillarsCancel) {
    buttonBox->addButton(QDialogButtonBox::Retry);
    if (buttons == MessageButtons::RetryPillarsCancel) pillarsButton = AddPillarsButton(*buttonBox);
    buttonBox->addButton(QDialogButtonBox::Cancel);
  } else {
    buttonBox->addButton(QDialogButtonBox::Ok);
  }
  QDialogButtonBox::StandardButton pressed = QDialogButtonBox::Cancel;
  bool pillarsPressed = false;
  QObject::connect(buttonBox, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton* button) {
    pillarsPressed = button == pillarsButton;
    pressed = buttonBox->standardButton(button);
    dialog.done(pressed == QDialogButtonBox::Cancel && !pillarsPressed ? QDialog::Rejected : QDialog::Accepted);
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
  // Wide enough for the whole caption in the title bar (with room for the
  // frame's buttons).
  const int titleWidth = QFontMetrics(dialog.font()).horizontalAdvance(caption) + 160;
  if (dialog.width() < titleWidth) dialog.resize(std::min(titleWidth, limit.width()), dialog.height());

  dialog.exec();  // Escape and the frame's close button leave `pressed` at Cancel
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (pillarsPressed) return MessageAnswer::Pillars;
  return pressed == QDialogButtonBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
}

}  // namespace

bool IsLongMessage(const std::string& text) {
  return text.size() > kLongMessageBytes || std::count(text.begin(), text.end(), '\n') >= kLongMessageLines;
}

std::string KoreanMessageText(const std::string& text) {
  // The engine's errors are English (the command line prints them as they
  // are); the window says what they mean in Korean and keeps the original.
  const auto first = text.find_first_not_of(' ');
  const std::string trimmed = first == std::string::npos ? text : text.substr(first);
  if (trimmed == "no JPL ephemeris is open")
    return "열려 있는 JPL 천체력 파일이 없습니다.\n설정을 확인하고 '설정적용'을 누른 뒤 다시 계산하세요.";
  if (trimmed.rfind("STATE: Epoch out of range", 0) == 0)
    return "JPL 천체력 파일이 다루는 기간을 벗어난 시각입니다.\n(" + trimmed + ")";
  if (trimmed.rfind("JPL ephemeris", 0) == 0 || trimmed.rfind("***", 0) == 0 ||
      trimmed.find("th body requested") != std::string::npos || trimmed.rfind("body ", 0) == 0 ||
      trimmed.rfind("ephemeris code", 0) == 0)
    return "JPL 천체력 파일로 계산할 수 없습니다.\n(" + trimmed + ")";
  return text;
}

MessageAnswer QtMessageSink::ShowMessage(const std::string& rawText, const std::string& caption,
                                         MessageButtons buttons, MessageIcon icon) {
  const std::string text = KoreanMessageText(rawText);
  if (IsLongMessage(text))
    return ShowInTextBox(parent_, QString::fromStdString(text), QString::fromStdString(caption), buttons, panels_);
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  box.setIcon(BoxIcon(icon));
  if (buttons == MessageButtons::RetryCancel || buttons == MessageButtons::RetryPillarsCancel) {
    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
    QPushButton* pillars = nullptr;
    if (buttons == MessageButtons::RetryPillarsCancel) {
      pillars = box.addButton("사주", QMessageBox::ActionRole);
      pillars->setObjectName("PillarsOfDay");
    }
    const int answer = box.exec();
    if (pillars && box.clickedButton() == pillars) return MessageAnswer::Pillars;
    return answer == QMessageBox::Retry ? MessageAnswer::Retry : MessageAnswer::Cancel;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

}  // namespace orv
