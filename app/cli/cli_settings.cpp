#include "app/cli/cli_settings.h"

#include <algorithm>
#include <cctype>

#include "app/core/files/app_folders.h"
#include "app/core/files/config.h"
#include "app/core/files/ephemeris_files.h"
#include "app/core/files/files.h"
#include "app/core/files/places.h"
#include "ephemeris/jpl_reader.h"

#include <unistd.h>

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

std::optional<bool> CorrectionSwitch(CliContext& ctx) {
  const auto v = ctx.inv.Get("correction");
  if (!v) return std::nullopt;
  const bool wanted = ParseOnOff(*v, "correction");
  if (wanted && !PlaceAllowsHistoricalCorrection(ctx.settings.PlaceIndex)) {
    ctx.messages.Show(kHistoricalCorrectionRefused, "안내");
    return false;
  }
  return wanted;
}

bool CorrectionWanted(CliContext& ctx) { return CorrectionSwitch(ctx).value_or(true); }

DaysOptions DaysOptionsOf(CliContext& ctx) {
  DaysOptions options;
  if (const auto v = ctx.inv.Get("anniversaries"); v && !ParseAnniversaryCalendarKey(*v, options.anniversaries))
    throw UsageError("--anniversaries takes korean or local, not '" + *v + "'");
  return options;
}

bool HistoricalCorrectionFor(CliContext& ctx, int year) {
  return HistoricalCorrectionApplies(year, ctx.settings.PlaceIndex, CorrectionWanted(ctx));
}

void ApplyDeltaTModelOption(CalcSettings& settings, const std::string& value) {
  const std::string v = Lower(value);
  if (v == "nasa") settings.DeltaTModelCode = kDeltaTNasa;
  else if (v == "horizons") settings.DeltaTModelCode = kDeltaTHorizons;
  else if (v == "horizons-nasa") settings.DeltaTModelCode = kDeltaTHorizonsNasa;
  else if (v.rfind("user=", 0) == 0) {
    const double seconds = ParseDoubleArg(value.substr(5), "the user Delta T");
    if (!UserDeltaTInRange(seconds))
      throw UsageError("the user Delta T must lie within -1000000..1000000 seconds, not " + value.substr(5));
    settings.DeltaTModelCode = kDeltaTUser;
    settings.UserDeltaT = seconds;
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
  else if (v == "civil") settings.TimeSystemCode = kTimeCivil;
  else throw UsageError("unknown time system '" + value + "' (TT, UT, ST, civil)");
}

namespace {

std::string ExecutableFolder() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string path(buffer, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

std::unique_ptr<JplEphemeris> OpenJpl(const std::string& path, int deNumber) {
  auto eph = std::make_unique<JplEphemeris>();
  if (!eph->OpenFile(path)) {
    if (PathExists(path) && !FileExists(path))
      throw RuntimeFailure("the ephemeris file " + path + " is not a regular file");
    throw RuntimeFailure("cannot open the ephemeris file " + path);
  }
  try {
    JplOpenEphemeris(*eph, deNumber);
  } catch (const JplError& e) {
    throw RuntimeFailure(path + ": " + e.what());
  }
  return eph;
}

// Opens the JPL file the settings ask for. A file named on the command line
// must exist; one that only the configuration file asks for falls back to
// PLAN404 with a message, as the window does.
void AttachEphemeris(CliContext& ctx, const std::string& option) {
  const std::string lower = Lower(option);
  const bool named = !option.empty() && lower != "plan404" && lower != "de431" && lower != "de441";
  if (named) {
    ctx.jpl = OpenJpl(option, 441);
    // The file's own number decides the Delta T table and the tidal term.
    ctx.settings.EphemerisCode = ctx.jpl->header.FileDeNumber == 431 ? kEphemerisDe431 : kEphemerisDe441;
    return;
  }
  const int code = ctx.settings.EphemerisCode;
  if (code != kEphemerisDe431 && code != kEphemerisDe441) return;
  const std::string name = EphemerisFileName(code);
  EphemerisFileLocation found;
  if (FindEphemerisFile(name, ctx.programFolder, "", found, ctx.userDataFolder)) {
    ctx.jpl = OpenJpl(found.path, code == kEphemerisDe431 ? 431 : 441);
    return;
  }
  if (!option.empty())
    throw RuntimeFailure(name + " not found (looked in " + ctx.programFolder + ", " + ctx.programFolder +
                         "Eph/, the current folder, ./Eph/" +
                         (ctx.userDataFolder.empty() ? "" : " and " + ctx.userDataFolder) + ")");
  const std::string stem = name.substr(0, name.size() - 4);
  ctx.messages.Show("JPL의 천체력 " + stem + "을(를) 바이너리로 변환한\n파일명 " + stem +
                        ".jpl이 실행폴더에 없습니다.\n만들어 넣어야 " + stem +
                        "을(를) 실행할 수 있습니다.\n기본으로 PLAN404를 실행합니다.",
                    "참고");
  ctx.settings.EphemerisCode = kEphemerisPlan404;
}

}  // namespace

void LoadCliSettings(CliContext& ctx) {
  ctx.programFolder = ExecutableFolder();
  // The window's folders, read only: nothing is created or written here.
  const UserFolders user = UserFoldersFromEnvironment();
  const SettingsFolderChoice choice = ChooseSettingsFolder("", user.config);
  ctx.settingsFolder = choice.folder;
  ctx.userConfigFolder = choice.userConfigFolder;
  ctx.userDataFolder = user.data;
  ctx.configPath = SettingsFileToRead(choice, "", kConfigFileName);
  if (auto path = ctx.inv.Get("config")) {
    if (PathExists(*path) && !FileExists(*path))
      throw UsageError("configuration file is not a regular file: " + *path);
    if (!FileExists(*path)) throw UsageError("configuration file not found: " + *path);
    ctx.configPath = *path;
  }
  ReadConfiguration(ctx.settings, ctx.configPath, ctx.messages);
  ctx.places = BuiltInPlaceTable();
  ReadPlaceFile(ctx.places, ctx.settingsFolder, ctx.messages);  // the user's places

  if (auto v = ctx.inv.Get("time")) ApplyTimeSystemOption(ctx.settings, *v);
  if (auto v = ctx.inv.Get("deltat")) ApplyDeltaTModelOption(ctx.settings, *v);
  if (auto v = ctx.inv.Get("tidal")) ctx.settings.TidalCompensation = ParseOnOff(*v, "tidal") ? 1 : 0;
  if (auto v = ctx.inv.Get("ephemeris")) {
    if (v->empty()) throw UsageError("--ephemeris needs plan404, de431, de441 or a file name");
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
  AttachEphemeris(ctx, ctx.inv.Get("ephemeris").value_or(""));
  if (ctx.settings.NutationModel == kNutationInternal && !ctx.jpl) {
    ctx.messages.Show("장동모델식을 IAU2000B로 설정합니다", "안내");
    ctx.settings.NutationModel = kNutationIau2000B;
  }
  ComputeTodayDate(ctx.settings, SystemClock());
}

}  // namespace orv::cli
