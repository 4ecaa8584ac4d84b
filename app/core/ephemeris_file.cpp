#include "app/core/ephemeris_file.h"

#include <cstdio>

namespace orv {

// Until the JPL reader is part of the build the file is only held open; it
// has no header to read and no span to report.
struct OpenEphemeris::Impl {
  std::FILE* file = nullptr;
};

OpenEphemeris::OpenEphemeris() : impl_(std::make_unique<Impl>()) {}

OpenEphemeris::~OpenEphemeris() {
  if (impl_->file) std::fclose(impl_->file);
}

bool OpenEphemeris::CanOpen(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool OpenEphemeris::Open(EngineContext& ctx, const std::string& path, int, std::string* error) {
  if (error) error->clear();
  Close(ctx);
  impl_->file = std::fopen(path.c_str(), "rb");
  return impl_->file != nullptr;
}

void OpenEphemeris::Close(EngineContext& ctx) {
  if (impl_->file) std::fclose(impl_->file);
  impl_->file = nullptr;
  ctx.jpl = nullptr;
}

bool OpenEphemeris::IsOpen() const { return impl_->file != nullptr; }

bool OpenEphemeris::Span(double&, double&) const { return false; }

std::string EphemerisStem(int code) {
  switch (code) {
    case 5:
    case 6: return "DE406";
    case 7: return "DE422";
    case 8: return "DE431";
    case 9: return "DE441";
    default: return "";
  }
}

int JplNumberOfCode(int code) {
  switch (code) {
    case 5:
    case 6: return 406;
    case 7: return 422;
    case 8: return 431;
    case 9: return 441;
    default: return 0;
  }
}

}  // namespace orv
