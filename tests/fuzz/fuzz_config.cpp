// The settings file: any bytes read as Orvanta.cfg give settings that format
// and read back to the same values.
#include <cstdlib>

#include "app/core/files/config.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  fuzz::QuietMessages messages;
  CalcSettings settings = DefaultSettings();
  ReadConfiguration(settings, fuzz::WriteInput("Orvanta.cfg", data, size), messages);
  const std::string text = FormatConfiguration(settings);
  const std::string again = fuzz::WriteInput("again.cfg", reinterpret_cast<const uint8_t*>(text.data()), text.size());
  CalcSettings reread = DefaultSettings();
  ReadConfiguration(reread, again, messages);
  if (FormatConfiguration(reread) != text) std::abort();
  return 0;
}
