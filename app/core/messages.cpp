#include "app/core/messages.h"

#include <cstdio>

namespace orv {

MessageAnswer StderrMessageSink::ShowMessage(const std::string& text, const std::string& caption,
                                      MessageButtons buttons, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

MessageAnswer RecordingMessageSink::ShowMessage(const std::string& text, const std::string& caption,
                                         MessageButtons buttons, MessageIcon) {
  messages.push_back({text, caption, buttons});
  return answer;
}

}  // namespace orv
