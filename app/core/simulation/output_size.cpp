// Size estimate of a simulation table, the free-space check and the progress
// line (the sample run itself is in simulation.cpp, beside the writers).
#include "app/core/simulation/output_size.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "time/text_format.h"

namespace orv {
namespace {

constexpr double kJulianYearDays = 365.25;
constexpr double kBytesPerUnitStep = 1000.0;

}  // namespace

std::string OutputFolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

SimulationSizeEstimate ScaleSimulationSample(const SimulationSample& sample, double repetitions) {
  const double n = repetitions > 0.0 ? repetitions : 0.0;
  SimulationSizeEstimate estimate;
  estimate.lines = n * std::max(sample.linesPerRepetition, 0.0);
  estimate.bytes = std::max(sample.headerBytes, 0.0) + n * std::max(sample.bytesPerRepetition, 0.0);
  return estimate;
}

double MeanEclipseWindowDays(double spanDays) {
  // The window of a repetition at u days before the end is min(R, u), R the
  // rest of its year (uniform over 0..Y): its mean is u - u^2/2Y below a
  // year, Y/2 beyond. Averaged over u uniform in 0..S:
  const double year = kJulianYearDays;
  const double span = spanDays;
  if (!(span > 0.0) || !std::isfinite(span)) return 0.0;
  if (span <= year) return span / 2.0 - span * span / (6.0 * year);
  return (year * year / 3.0 + (span - year) * year / 2.0) / span;
}

std::optional<unsigned long long> FreeBytesForFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(OutputFolderOf(path), error);
  if (error || space.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
  return static_cast<unsigned long long>(space.available);
}

bool SimulationExceedsFreeSpace(const SimulationSizeEstimate& estimate, unsigned long long freeBytes) {
  return !(estimate.bytes <= static_cast<double>(freeBytes));
}

std::string ApproximateSizeText(double bytes) {
  if (!(bytes >= kBytesPerUnitStep)) return Format("%.0f bytes", bytes > 0.0 ? bytes : 0.0);
  constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
  double value = bytes / kBytesPerUnitStep;
  size_t unit = 0;
  // The rounded value decides the unit, so 999.96 kB reads "1.0 MB".
  while (std::round(value * 10.0) >= kBytesPerUnitStep * 10.0 && unit + 1 < std::size(kUnits)) {
    value /= kBytesPerUnitStep;
    ++unit;
  }
  return Format("%.1f %s", value, kUnits[unit]);
}

std::string GroupedCount(double count) {
  const double rounded = std::round(count > 0.0 ? count : 0.0);
  std::string digits = rounded < 1e18 ? std::to_string(static_cast<unsigned long long>(rounded))
                                      : Format("%.0f", rounded);
  std::string grouped;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string SimulationSizeText(const SimulationSizeEstimate& estimate) {
  return "expected size: about " + ApproximateSizeText(estimate.bytes) + " (" + GroupedCount(estimate.lines) +
         " lines)";
}

std::string SimulationTooLargeText(const SimulationSizeEstimate& estimate, unsigned long long freeBytes,
                                   const std::string& folder) {
  return "not enough free space: the table needs about " + ApproximateSizeText(estimate.bytes) + ", " + folder +
         " has " + ApproximateSizeText(static_cast<double>(freeBytes)) + " free; nothing written";
}

std::string SimulationSizeLabel(const SimulationSizeEstimate& estimate) {
  return "예상 크기: 약 " + ApproximateSizeText(estimate.bytes) + " (" + GroupedCount(estimate.lines) + "줄)";
}

std::string SimulationTooLargeMessage(const SimulationSizeEstimate& estimate, unsigned long long freeBytes,
                                      const std::string& folder) {
  return "계산 결과 파일이 약 " + ApproximateSizeText(estimate.bytes) + "(" + GroupedCount(estimate.lines) +
         "줄)로 예상되어 " + folder + "의 남은 공간(" + ApproximateSizeText(static_cast<double>(freeBytes)) +
         ")에 들어가지 않습니다.\n계산하지 않았습니다.";
}

std::string ProgressLine::Update(long long position, long long maximum, double seconds) {
  if (maximum <= 0 || position <= 0 || seconds < delaySeconds_) return "";
  // The last position is always shown, so a finished line reads 100%.
  if (shown_ && seconds - lastShownSeconds_ < intervalSeconds_ && position < maximum) return "";
  shown_ = true;
  lastShownSeconds_ = seconds;
  const long long clamped = position < maximum ? position : maximum;
  const long long percent = static_cast<long long>(static_cast<double>(clamped) * 100.0 / static_cast<double>(maximum));
  return Format("\r%lld%% (%lld/%lld)", percent, clamped, maximum);
}

std::string ProgressLine::Finish() {
  if (!shown_) return "";
  shown_ = false;
  return "\n";
}

}  // namespace orv
