#include "app/core/files/open_ephemeris.h"

#include <unistd.h>

#include <cstdio>

#include "app/core/files/files.h"

#include "ephemeris/jpl_reader.h"
#include "time/settings.h"

namespace orv {

struct OpenEphemeris::Impl {
  JplEphemeris eph;
};

OpenEphemeris::OpenEphemeris() : impl_(std::make_unique<Impl>()) {}

OpenEphemeris::~OpenEphemeris() = default;

bool OpenEphemeris::CanOpen(const std::string& path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool OpenEphemeris::Open(EngineContext& ctx, const std::string& path, int deNumber, std::string* error) {
  if (error) error->clear();
  Close(ctx);
  if (!impl_->eph.OpenFile(path)) {
    if (error && PathExists(path) && !FileExists(path)) *error = NotRegularFileText(path);
    return false;
  }
  try {
    JplOpenEphemeris(impl_->eph, deNumber);
  } catch (const JplError& e) {
    if (error) *error = path + ": " + e.what();
    impl_->eph.Close();
    return false;
  }
  JplRestart(impl_->eph);
  ctx.jpl = &impl_->eph;
  return true;
}

void OpenEphemeris::Close(EngineContext& ctx) {
  if (ctx.jpl == &impl_->eph) ctx.jpl = nullptr;
  impl_->eph.Close();
}

bool OpenEphemeris::IsOpen() const { return impl_->eph.IsOpen(); }

bool OpenEphemeris::Span(double& firstJd, double& lastJd) const {
  if (!impl_->eph.IsOpen()) return false;
  firstJd = impl_->eph.header.Span[0];
  lastJd = impl_->eph.header.Span[1];
  return true;
}

std::string EphemerisStem(int code) { return EphemerisCodeRow(code).fileStem; }

int JplNumberOfCode(int code) { return EphemerisCodeRow(code).deNumber; }

}  // namespace orv
