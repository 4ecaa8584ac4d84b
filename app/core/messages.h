// Messages to the user go through this interface: the window shows real
// message boxes, the command line prints to standard error, tests record them.
#pragma once

#include <string>
#include <vector>

namespace orv {

// RetryPillarsCancel: the day report's buttons, with one that opens the
// four-pillars tool on the day.
enum class MessageButtons { Ok, RetryCancel, RetryPillarsCancel };
enum class MessageIcon { None, Information, Warning, Error };
enum class MessageAnswer { Ok, Retry, Cancel, Pillars };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  MessageAnswer Show(const std::string& text, const std::string& caption,
                     MessageButtons buttons = MessageButtons::Ok,
                     MessageIcon icon = MessageIcon::Information) {
    return ShowMessage(text, caption, buttons, icon);
  }

 protected:
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageButtons buttons, MessageIcon icon) = 0;
};

// Prints "caption: text" to standard error and answers Ok/Cancel.
class StderrMessageSink : public MessageSink {
 protected:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                     MessageButtons buttons, MessageIcon icon) override;
};

// Keeps every message; answers with a preset answer (tests).
class RecordingMessageSink : public MessageSink {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageButtons buttons;
  };
  std::vector<Message> messages;
  MessageAnswer answer = MessageAnswer::Ok;

 protected:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override;
};

}  // namespace orv
