// How large a simulation table will be before it is written, and the line a
// terminal shows while a long one is written. The command line prints the
// estimate and refuses a run that would not fit on the disk; the window shows
// the same estimate and refuses the same way.
#pragma once

#include <optional>
#include <string>

#include "app/core/simulation/simulation.h"

namespace orv {

struct SimulationSizeEstimate {
  double lines = 0.0;  // table lines after the headers
  double bytes = 0.0;  // the whole file, headers and byte-order mark included
};

// What a sample run of an item measured: the file with no repetition (the
// run header and the item's header) and what one repetition adds.
struct SimulationSample {
  double headerBytes = 0.0;
  double bytesPerRepetition = 0.0;
  double linesPerRepetition = 0.0;
};

// `repetitions` repetitions of the sample's size.
SimulationSizeEstimate ScaleSimulationSample(const SimulationSample& sample, double repetitions);

// Item 14 writes, at every repetition, the eclipses from that repetition's
// instant to the end of its year, and never past the end of the run. Over a
// run of `spanDays` (end less start), the mean length in days of that window,
// taking the place in the year as uniform: the sizes of one year's eclipses
// times this, divided by a year, are what one repetition writes on average.
double MeanEclipseWindowDays(double spanDays);

// The size of the file `request` would write, from the item's headers and a
// sample of one or two repetitions (for item 14 one year of eclipses) run
// into nothing. Empty when the request would be refused (its checks show no
// message here) or the sample failed; the run itself then says why.
std::optional<SimulationSizeEstimate> EstimateSimulationSize(const SimulationRequest& request,
                                                             const SimulationEnvironment& env);

// The folder that holds `path` ("." for a bare name).
std::string OutputFolderOf(const std::string& path);

// Bytes free to the user in the file system of the folder that holds
// `path` (the current folder for a bare name); empty when unknown.
std::optional<unsigned long long> FreeBytesForFile(const std::string& path);

// Whether a file of `estimate` would not fit into `freeBytes`.
bool SimulationExceedsFreeSpace(const SimulationSizeEstimate& estimate, unsigned long long freeBytes);

// "850 bytes", "12.3 kB", "1.2 GB" (decimal units, one decimal).
std::string ApproximateSizeText(double bytes);
// "1,000,000": a count rounded to a whole number, with thousands separators.
std::string GroupedCount(double count);

// "expected size: about 1.2 GB (1,000,000 lines)" (the command line).
std::string SimulationSizeText(const SimulationSizeEstimate& estimate);
// The command line's refusal: the estimate, the free space and its folder.
std::string SimulationTooLargeText(const SimulationSizeEstimate& estimate, unsigned long long freeBytes,
                                   const std::string& folder);
// "예상 크기: 약 1.2 GB (1,000,000줄)" (the window).
std::string SimulationSizeLabel(const SimulationSizeEstimate& estimate);
// The window's refusal.
std::string SimulationTooLargeMessage(const SimulationSizeEstimate& estimate, unsigned long long freeBytes,
                                      const std::string& folder);

// The progress line of a long run on a terminal: nothing during the first
// `delaySeconds` (a short run stays silent), then "\r12% (120000/1000000)"
// at most once per `intervalSeconds` and at the last position, and a line
// end after the last one.
class ProgressLine {
 public:
  static constexpr double kDefaultDelaySeconds = 3.0;
  static constexpr double kDefaultIntervalSeconds = 0.25;

  explicit ProgressLine(double delaySeconds = kDefaultDelaySeconds,
                        double intervalSeconds = kDefaultIntervalSeconds)
      : delaySeconds_(delaySeconds), intervalSeconds_(intervalSeconds) {}

  // The text to print for `position` of `maximum` at `seconds` since the
  // start of the run; "" when nothing is due.
  std::string Update(long long position, long long maximum, double seconds);
  // "\n" when a line was shown (once), else "".
  std::string Finish();

 private:
  double delaySeconds_;
  double intervalSeconds_;
  double lastShownSeconds_ = 0.0;
  bool shown_ = false;
};

}  // namespace orv
