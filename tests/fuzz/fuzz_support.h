// Shared by the fuzz targets: the readers under test take a path or a
// folder, so each input is written to a file in a private temporary folder
// made once per process.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/messages.h"

namespace orv::fuzz {

// A private folder under $TMPDIR (or /tmp), removed by the operating system's
// cleaning of temporary folders; one per fuzzing process.
inline const std::string& Folder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && base[0] ? base : "/tmp") + "/orvanta-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

// Writes the input as `name` in Folder(); returns its path.
inline std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = Folder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                              static_cast<std::streamsize>(size));
  return path;
}

// The input as a command line: "orvanta-cli" and the input's pieces between
// NUL bytes and newlines.
inline std::vector<std::string> SplitArguments(const uint8_t* data, size_t size) {
  std::vector<std::string> args{"orvanta-cli"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\0' || c == '\n') {
      args.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) args.push_back(current);
  return args;
}

// Messages are dropped: what is fuzzed is that reading ends without a fault.
class QuietMessages : public MessageSink {
 protected:
  MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons, MessageIcon) override {
    return MessageAnswer::Ok;
  }
};

}  // namespace orv::fuzz
