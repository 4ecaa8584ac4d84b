// The binary JPL ephemeris file the program keeps open while a JPL ephemeris
// is selected: at most one at a time, attached to the engine context.
#pragma once

#include <memory>
#include <string>

#include "ephemeris/context.h"

namespace orv {

class OpenEphemeris {
 public:
  OpenEphemeris();
  ~OpenEphemeris();
  OpenEphemeris(const OpenEphemeris&) = delete;
  OpenEphemeris& operator=(const OpenEphemeris&) = delete;

  // Whether `path` can be opened for binary reading (the file is closed again).
  static bool CanOpen(const std::string& path);

  // Opens `path` as the JPL ephemeris DE`deNumber` (406, 422, 431, 441),
  // reads its header and attaches it to `ctx`, replacing the file held
  // before. False, with nothing attached, when the file cannot be opened or
  // is not a usable ephemeris; `error` then receives the reader's message
  // (empty when the file could not be opened at all).
  bool Open(EngineContext& ctx, const std::string& path, int deNumber, std::string* error = nullptr);

  // Detaches and closes the file (nothing when none is open).
  void Close(EngineContext& ctx);

  bool IsOpen() const;

  // First and last Julian Day the open file covers; false without a file.
  bool Span(double& firstJd, double& lastJd) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// "DE431", "DE441" for their codes, else "".
std::string EphemerisStem(int ephemerisCode);
// 406, 422, 431, 441 for the same codes, else 0.
int JplNumberOfCode(int ephemerisCode);

}  // namespace orv
