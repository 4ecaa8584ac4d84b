// The computer clock behind an interface, so that "today" can be tested with
// any clock and zone.
#pragma once

#include <ctime>

namespace orv {

struct ClockReading {
  std::tm local{};  // broken down in the computer's local time
  std::tm utc{};    // the same instant broken down in UTC
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading Now() const = 0;
};

class SystemClock : public Clock {
 public:
  ClockReading Now() const override;
};

// A fixed reading (tests).
class FixedClock : public Clock {
 public:
  explicit FixedClock(ClockReading reading) : reading_(reading) {}
  ClockReading Now() const override { return reading_; }

 private:
  ClockReading reading_;
};

// A tm from civil fields (year as in the calendar, month 1..12).
std::tm MakeTm(int year, int month, int day, int hour, int minute, int second = 0);

}  // namespace orv
