#include "app/core/calendar_files.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "app/core/files/config.h"
#include "app/core/files/ephemeris_files.h"
#include "app/core/files/files.h"
#include "app/core/guarded.h"
#include "app/core/reports/ics_calendar.h"
#include "ephemeris/jpl_reader.h"
#include "time/text_format.h"

namespace orv {
namespace {

// DTSTAMP of an export: the clock's UTC reading, "YYYYMMDDTHHMMSSZ".
std::string StampUtc(const Clock& clock) {
  std::tm utc = clock.Now().utc;
  char text[32];
  if (std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc) == 0) return "19700101T000000Z";
  return text;
}

}  // namespace

CalendarFiles::CalendarFiles(CalendarState& state, MonthViewModel& month)
    : state_(state), month_(month), runner(&systemRunner_), editors(EditorCommandsFromEnvironment()) {}

CalendarFiles::~CalendarFiles() = default;

void CalendarFiles::SaveSettingsFile() {
  SaveSettings(SettingsToSave(), ConfigPath(), state_.configRead, state_.messages);
}

void CalendarFiles::EditMemoFile() {
  orv::EditMemoFile(*runner, editors, state_.folders.currentFolder, state_.messages);
}

void CalendarFiles::OpenHelpFile() {
  orv::OpenHelpFile(*runner, editors, state_.folders.currentFolder, state_.messages);
}

std::string CalendarFiles::ConfigPath() const { return JoinPath(state_.folders.currentFolder, kConfigFileName); }

std::string CalendarFiles::ConfigReadPath() const {
  // The desktop program moves to the user's folder from the folder it was
  // started in (""), which may still hold readable settings.
  return SettingsFileToRead({state_.folders.currentFolder, state_.folders.userConfigFolder}, "", kConfigFileName);
}

CalcSettings CalendarFiles::SettingsToSave() const {
  CalcSettings saved = state_.settings;
  saved.EphemerisCode = state_.chosenSettings.EphemerisCode;
  saved.PrecessionModel = state_.chosenSettings.PrecessionModel;
  saved.NutationModel = state_.chosenSettings.NutationModel;
  saved.ObliquityModel = state_.chosenSettings.ObliquityModel;
  saved.TimeSystemCode = state_.chosenSettings.TimeSystemCode;
  saved.DeltaTModelCode = state_.chosenSettings.DeltaTModelCode;
  saved.UserDeltaT = state_.chosenSettings.UserDeltaT;
  saved.TidalCompensation = state_.chosenSettings.TidalCompensation;
  saved.EopCorrection = state_.chosenSettings.EopCorrection;
  return SettingsWithUnresolvedPlace(saved);
}

CalcSettings CalendarFiles::SettingsWithUnresolvedPlace(CalcSettings saved) const {
  if (state_.unresolvedPlaceIndex >= 0 && saved.PlaceIndex == 0) saved.PlaceIndex = state_.unresolvedPlaceIndex;
  return saved;
}

bool CalendarFiles::LocateEphemeris(const std::string& fileName, std::string& path) const {
  EphemerisFileLocation found;
  if (!FindEphemerisFile(fileName, state_.folders.programFolder, state_.folders.currentFolder, found,
                         state_.folders.dataFolder))
    return false;
  path = found.path;
  return true;
}

std::string CalendarFiles::NotFoundMessage(const std::string& head) const {
  std::string text = head + "\n\n찾아본 폴더:";
  for (const std::string& folder :
       EphemerisSearchFolders(state_.folders.programFolder, state_.folders.currentFolder, state_.folders.dataFolder))
    text += "\n  " + (folder.empty() ? std::string("(현재 폴더)") : folder);
  return text;
}

void CalendarFiles::ReadMemos() {
  std::string notice;
  ReadMemoFile(state_.memos, state_.folders.currentFolder, notice);
  if (!notice.empty() && notice != lastMemoNotice_) state_.messages.Show(notice, "알림");
  lastMemoNotice_ = notice;
}

void CalendarFiles::ReloadMemoFile() {
  if (state_.engineBusy) return;
  // Whatever editor saved it, and whenever: the month view follows the file.
  ReadMemos();
  month_.Build();
}

bool CalendarFiles::LoadAnniversaries(MemoDocument& document) {
  std::string error;
  if (LoadMemoDocument(document, state_.folders.currentFolder, &error)) return true;
  state_.messages.Show(JoinPath(state_.folders.currentFolder, kMemoFileName) + "을(를) 읽을 수 없습니다.\n" + error,
                       "오류", MessageButtons::Ok, MessageIcon::Error);
  return false;
}

bool CalendarFiles::ChangeAnniversaries(const MemoChange& change, MemoDocument& after) {
  std::string error;
  if (!ChangeMemoFile(state_.folders.currentFolder, change, &after, &error)) {
    state_.messages.Show(
        JoinPath(state_.folders.currentFolder, kMemoFileName) + "을(를) 저장하지 못했습니다.\n" + error, "오류",
        MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  ReloadMemoFile();
  return true;
}

CalendarOfDays CalendarFiles::ListYear(int year, const MemoTable& memoTable) {
  if (!state_.YearInRange(year)) return CalendarOfDays{};
  if (!listTables_) listTables_ = std::make_unique<YearTables>();
  DaysOptions options = state_.DaysOptionsInEffect();
  options.screenEclipses = false;  // the list names no eclipses
  try {
    return state_.years->DaysOfYear(state_.ctx, *listTables_, year, state_.correctionWanted, memoTable, options);
  } catch (const JplError&) {
    return CalendarOfDays{};
  }
}

std::vector<UpcomingDay> CalendarFiles::Upcoming(int days) { return UpcomingOf(state_.memos, state_.Today(), days); }

std::vector<UpcomingDay> CalendarFiles::UpcomingOf(const MemoTable& memoTable, const CivilDate& from, int days) {
  return UpcomingDays([&](int year) { return ListYear(year, memoTable); }, from, days);
}

void CalendarFiles::SetProgramRunner(ProgramRunner& r, std::vector<std::vector<std::string>> editorCommands) {
  runner = &r;
  editors = std::move(editorCommands);
}

EphemerisSpan CalendarFiles::IcsYearLimits() const {
  const EphemerisSpan limits = state_.ReportYearLimits();
  return {std::max(kIcsFirstYear, limits.lower), std::min(kIcsLastYear, limits.upper)};
}

IcsExportRequest CalendarFiles::DefaultIcsRequest() const {
  IcsExportRequest request;
  const int year = state_.tables->Prepared ? state_.tables->LoadedYear : AstronomicalYear(state_.inputs);
  request.fromYear = year;
  request.toYear = year;
  return request;
}

bool CalendarFiles::ExportIcs(const IcsExportRequest& request) {
  if (state_.engineBusy) return false;
  if (request.path.empty()) return false;
  if (request.fromYear > request.toYear) {
    state_.messages.Show("시작 연도가 끝 연도보다 늦습니다.", "참고");
    return false;
  }
  const EphemerisSpan limits = IcsYearLimits();
  if (request.fromYear < limits.lower || request.toYear > limits.upper) {
    state_.messages.Show(Format("iCalendar로 내보낼 수 있는 연도는\n%d년 ~ %d년 입니다.", limits.lower, limits.upper),
                         "참고");
    return false;
  }
  if (request.toYear - request.fromYear + 1 > kIcsMaxYears) {
    state_.messages.Show("한 번에 " + std::to_string(kIcsMaxYears) + "년까지 내보낼 수 있습니다.", "참고");
    return false;
  }

  IcsCalendarOptions options;
  options.fromYear = request.fromYear;
  options.toYear = request.toYear;
  options.selection.terms = request.terms;
  options.selection.syzygies = request.syzygies;
  options.selection.eclipses = request.eclipses;
  options.holidays = request.holidays;
  options.memo = request.memo;
  options.memoFolder = state_.folders.currentFolder;
  options.correctionWanted = state_.correctionWanted;
  options.days = state_.DaysOptionsInEffect();

  const int shownYear = state_.tables->Prepared ? state_.tables->LoadedYear : AstronomicalYear(state_.inputs);
  std::string text;
  const bool built = Guarded(state_.messages, [&] {
    text = BuildIcsCalendar(state_.ctx, *state_.tables, *state_.years, state_.Place(), options, state_.messages,
                            StampUtc(state_.clock));
  });
  // The export left the last year it covered in the tables: back to the one shown.
  if (state_.YearInRange(shownYear)) state_.PrepareYear(shownYear);
  month_.Build();
  if (!built) return false;
  std::string error;
  if (!WriteFileAtomically(request.path, text, &error)) {
    state_.messages.Show(request.path + "\n파일을 쓸 수 없습니다.\n(" + error + ")", "오류", MessageButtons::Ok,
                         MessageIcon::Error);
    return false;
  }
  state_.messages.Show(request.path + "\n파일로 내보냈습니다.", "안내");
  return true;
}

}  // namespace orv
