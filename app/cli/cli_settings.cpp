#include "app/cli/cli_settings.h"

#include <algorithm>
#include <cctype>

#include "app/core/config.h"
#include "app/core/files.h"

namespace orv::cli {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

}  // namespace

bool ParseOnOff(const std::string& value, const char* option) {
  const std::string v = Lower(value);
  if (v == "on" || v == "1" || v == "yes") return true;
  if (v == "off" || v == "0" || v == "no") return false;
  throw UsageError(std::string("--") + option + " takes on or off, not '" + value + "'");
}

void ApplyDeltaTModelOption(CalcSettings& settings, const std::string& value) {
  const std::string v = Lower(value);
  if (v == "nasa") settings.DeltaTModelCode = kDeltaTNasa;
  else if (v == "horizons") settings.DeltaTModelCode = kDeltaTHorizons;
  else if (v == "horizons-nasa") settings.DeltaTModelCode = kDeltaTHorizonsNasa;
  else if (v.rfind("user=", 0) == 0) {
    settings.DeltaTModelCode = kDeltaTUser;
    settings.UserDeltaT = ParseDoubleArg(value.substr(5), "the user Delta T");
  } else {
    throw UsageError("unknown Delta T model '" + value + "' (nasa, horizons, horizons-nasa, user=SECONDS)");
  }
}

void ApplyEphemerisOption(CalcSettings& settings, const std::string& value) {
  const std::string v = Lower(value);
  if (v == "plan404") settings.EphemerisCode = kEphemerisPlan404;
  else if (v == "de431") settings.EphemerisCode = kEphemerisDe431;
  else if (v == "de441") settings.EphemerisCode = kEphemerisDe441;
  else throw UsageError("unknown ephemeris '" + value + "' (plan404, de431, de441)");
}

void ApplyTimeSystemOption(CalcSettings& settings, const std::string& value) {
  const std::string v = Lower(value);
  if (v == "tt") settings.TimeSystemCode = kTimeTT;
  else if (v == "ut") settings.TimeSystemCode = kTimeUT;
  else if (v == "st") settings.TimeSystemCode = kTimeST;
  else throw UsageError("unknown time system '" + value + "' (TT, UT, ST)");
}

void LoadCliSettings(CliContext& ctx) {
  if (auto path = ctx.inv.Get("config")) {
    if (!FileExists(*path)) throw UsageError("configuration file not found: " + *path);
    ctx.configPath = *path;
  }
  ReadConfiguration(ctx.settings, ctx.configPath, ctx.messages);
  ctx.places = BuiltInPlaceTable();
  ReadPlaceFile(ctx.places, "", ctx.messages);  // the user's places, from the current folder

  if (auto v = ctx.inv.Get("time")) ApplyTimeSystemOption(ctx.settings, *v);
  if (auto v = ctx.inv.Get("deltat")) ApplyDeltaTModelOption(ctx.settings, *v);
  if (auto v = ctx.inv.Get("tidal")) ctx.settings.TidalCompensation = ParseOnOff(*v, "tidal") ? 1 : 0;
  if (auto v = ctx.inv.Get("ephemeris")) {
    const std::string lower = Lower(*v);
    if (lower == "plan404" || lower == "de431" || lower == "de441") ApplyEphemerisOption(ctx.settings, *v);
    // Anything else names a JPL file; the commands that read one open it.
  }

  int index = ctx.settings.PlaceIndex;
  if (auto v = ctx.inv.Get("place")) {
    index = FindPlaceByName(ctx.places, *v);
    if (index < 0) {
      index = ParseIntArg(*v, "--place");
      if (index < 0 || index >= static_cast<int>(ctx.places.rows.size()))
        throw UsageError("no place with index or name '" + *v + "'");
    }
  } else if (index < 0 || index >= static_cast<int>(ctx.places.rows.size())) {
    ctx.messages.Show("지역 번호 " + std::to_string(index) + "가 목록에 없어 0번 지역을 씁니다", "안내");
    index = 0;
  }
  ApplyPlace(ctx.settings, ctx.observer, ctx.places, index);
  ComputeTodayDate(ctx.settings, SystemClock());
}

}  // namespace orv::cli
