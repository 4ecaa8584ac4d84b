// The files behind the window: the settings file and where it is read from,
// the JPL ephemeris files and their folders, the memo file (read, edited,
// saved by the anniversary manager, the days it brings up) and the iCalendar
// export. Works over the shared calendar state; the month view follows a
// changed memo file.
#pragma once

#include <string>
#include <vector>

#include "app/core/anniversaries.h"
#include "app/core/calendar_state.h"
#include "app/core/files/editor.h"
#include "app/core/files/memo_document.h"
#include "app/core/month_view_model.h"

namespace orv {

// What the iCalendar export writes: the years (inclusive), the kinds of
// events and the file.
struct IcsExportRequest {
  int fromYear = 0;
  int toYear = 0;
  bool terms = true;
  bool syzygies = true;
  bool eclipses = false;
  bool holidays = true;
  bool memo = true;
  std::string path;
};
// Years an iCalendar file can hold (four-digit Gregorian years) and the most
// years one export writes.
inline constexpr int kIcsFirstYear = 1;
inline constexpr int kIcsLastYear = 9998;
inline constexpr int kIcsMaxYears = 201;

class CalendarFiles {
 public:
  CalendarFiles(CalendarState& state, MonthViewModel& month);
  ~CalendarFiles();
  CalendarFiles(const CalendarFiles&) = delete;
  CalendarFiles& operator=(const CalendarFiles&) = delete;

  // --- Settings file ----------------------------------------------------------

  std::string ConfigPath() const;
  // Where the settings are read from: ConfigPath, or the file left in the
  // start folder when the settings moved to the user's folder.
  std::string ConfigReadPath() const;
  // The settings saved at closing: those in effect with the settings row as
  // chosen (a choice not yet applied is what the next start begins with).
  CalcSettings SettingsToSave() const;
  // `saved` with the user place the settings file named but the place file
  // lacked, unless another place was chosen since.
  CalcSettings SettingsWithUnresolvedPlace(CalcSettings saved) const;
  // Writes SettingsToSave to ConfigPath (atomically).
  void SaveSettingsFile();

  // --- Ephemeris files --------------------------------------------------------

  // Finds a binary ephemeris file ("DE441.jpl") in the folders every search
  // of this program uses (program, its Eph/, current, its Eph/, user data).
  bool LocateEphemeris(const std::string& fileName, std::string& path) const;
  // The message for a JPL file that was not found: `head`, then the folders
  // that were searched.
  std::string NotFoundMessage(const std::string& head) const;

  // --- Memo file and the editor -----------------------------------------------

  // The editor used for the memo and help files.
  void SetProgramRunner(ProgramRunner& runner, std::vector<std::vector<std::string>> editorCommands);
  // Opens the memo file in the editor and waits for it.
  void EditMemoFile();
  // Opens the help file in the editor.
  void OpenHelpFile();
  // Reads the memo file into the anniversaries the views show; a message
  // about it (a file that is not read, rows skipped) is shown unless it is the
  // one shown last, so a file watched while it stays wrong does not repeat it.
  void ReadMemos();
  // The memo file changed: reads it again and rebuilds the month view.
  void ReloadMemoFile();
  // The memo file as the manager edits it; false (with a message) when it
  // cannot be read.
  bool LoadAnniversaries(MemoDocument& document);
  // Applies the manager's change to the memo file as it is now (under its
  // lock, see ChangeMemoFile), leaves the document written in `after` and
  // shows the anniversaries in the month view; false (with a message) when it
  // cannot be written, the file then staying as it was.
  bool ChangeAnniversaries(const MemoChange& change, MemoDocument& after);
  // The anniversaries, public holidays and solar terms of `days` days from
  // today ("다가오는 날"), with the memo file as last read.
  std::vector<UpcomingDay> Upcoming(int days);
  // The same from `from` for the anniversaries of `memoTable` only.
  std::vector<UpcomingDay> UpcomingOf(const MemoTable& memoTable, const CivilDate& from, int days);

  // --- iCalendar export -------------------------------------------------------

  // The years an export may cover under the ephemeris in effect.
  EphemerisSpan IcsYearLimits() const;
  // A request for the displayed year with every kind but the eclipses.
  IcsExportRequest DefaultIcsRequest() const;
  // Writes the file of the request; false (with a message) when the years
  // cannot be exported or the file cannot be written. The displayed year is
  // prepared again and its month view rebuilt afterwards.
  bool ExportIcs(const IcsExportRequest& request);

 private:
  CalendarState& state_;
  MonthViewModel& month_;

  SystemProgramRunner systemRunner_;
  ProgramRunner* runner;                          // starts the editor
  std::vector<std::vector<std::string>> editors;  // editor commands to try, in order
  std::string lastMemoNotice_;                    // the memo file's message shown last ("" none)

  // The tables of civil year `year` for the lists that look ahead (kept apart
  // from the loaded year's, which the month view shows): the one place they
  // are prepared. Null when the year is outside the ephemeris.
  // The days of a civil year for the lists, with the anniversaries of `memoTable`.
  CalendarOfDays ListYear(int year, const MemoTable& memoTable);
  std::unique_ptr<YearTables> listTables_;
};

}  // namespace orv
