// orvanta-cli memo list|add|remove: the anniversaries of "비망일.txt", edited
// as the window's manager edits them (the same file rules and checks), and
// orvanta-cli upcoming: the days that come next.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/anniversaries.h"
#include "app/core/files/files.h"
#include "app/core/files/memo_document.h"
#include "lunisolar/prepare.h"

namespace orv::cli {
namespace {

const char* KindKey(int kind) {
  switch (kind) {
    case kMemoSolar: return "solar";
    case kMemoLunar: return "lunar";
    case kMemoLunarLeap: return "lunar-leap";
    default: break;
  }
  return "hidden";
}

MemoDocument LoadDocument(CliContext& cli) {
  MemoDocument document;
  std::string error;
  if (!LoadMemoDocument(document, cli.settingsFolder, &error))
    throw RuntimeFailure("cannot read " + JoinPath(cli.settingsFolder, kMemoFileName) + ": " + error);
  return document;
}

void PrintRow(int number, const MemoEntry& e) {
  std::printf("%d\t%s\t%d-%d\t%d\t%s\t%s\n", number, KindKey(e.kind), e.month, e.day, e.year,
              MemoMarkKey(MemoMarkOf(e.name)), MemoDisplayName(e.name).c_str());
}

// "M-D" of --solar or --lunar.
void ParseMonthDay(const std::string& text, AnniversaryDraft& draft) {
  const std::vector<int> fields = ParseIntFields(text, '-', 2, "a month and day as M-D, not '" + text + "'");
  draft.month = fields[0];
  draft.day = fields[1];
}

int CmdMemo(CliContext& cli) {
  const std::string& action = cli.inv.positional[0];
  if (action == "list") {
    if (cli.inv.positional.size() > 1) throw UsageError("memo list takes no further argument");
    const MemoDocument document = LoadDocument(cli);
    // The rows every other reader skips, named as they name them.
    const std::string skipped =
        MemoSkippedLinesText(JoinPath(cli.settingsFolder, kMemoFileName), document.skipped);
    if (!skipped.empty()) cli.messages.Show(skipped, "알림");
    std::printf("#\tkind\tdate\tsince\tmark\tname\n");
    int number = 0;
    for (const MemoEntry& e : document.Rows()) PrintRow(++number, e);
    return 0;
  }
  if (action == "add") {
    if (cli.inv.positional.size() > 1) throw UsageError("memo add takes its values as options");
    const auto solar = cli.inv.Get("solar");
    const auto lunar = cli.inv.Get("lunar");
    if (solar.has_value() == lunar.has_value()) throw UsageError("memo add needs one of --solar M-D or --lunar M-D");
    const auto name = cli.inv.Get("name");
    if (!name) throw UsageError("memo add needs --name NAME");
    AnniversaryDraft draft;
    draft.lunar = lunar.has_value();
    draft.leapMonth = cli.inv.Has("leap");
    if (draft.leapMonth && !draft.lunar) throw UsageError("--leap goes with --lunar");
    ParseMonthDay(draft.lunar ? *lunar : *solar, draft);
    draft.name = *name;
    draft.firstYear = cli.settings.TodayDate[0];
    if (const auto since = cli.inv.Get("since")) draft.firstYear = ParseIntArg(*since, "the first year");
    if (const auto mark = cli.inv.Get("mark"))
      if (!ParseMemoMarkKey(*mark, draft.mark))
        throw UsageError("--mark takes none, holiday or highlight, not '" + *mark + "'");
    const MemoEntry entry = EntryOfDraft(draft);
    // Checked against the file as it is inside the lock (its encoding, its rows).
    DraftCheck check;
    bool refused = false;
    MemoDocument after;
    std::string error;
    const bool added = ChangeMemoFile(
        cli.settingsFolder,
        [&](MemoDocument& document, std::string& why) {
          check = CheckAnniversaryDraft(draft, document.Encoding());
          if (!check.ok) why = check.error;
          else if (document.RowCount() >= kMemoMaxRows) why = "the memo file is full";
          refused = !why.empty();
          if (refused) return false;
          document.Add(entry);
          return true;
        },
        &after, &error);
    if (!added && refused) throw UsageError(error);
    if (!added) throw RuntimeFailure("cannot write " + JoinPath(cli.settingsFolder, kMemoFileName) + ": " + error);
    // The number the row has in the list now.
    const std::vector<MemoEntry> rows = after.Rows();
    int number = 0;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
      if (MemoRowText(rows[static_cast<size_t>(i)]) == MemoRowText(entry)) number = i + 1;
    PrintRow(number, entry);
    if (!check.note.empty()) std::fprintf(stderr, "%s\n", check.note.c_str());
    return 0;
  }
  if (action == "remove") {
    if (cli.inv.positional.size() != 2) throw UsageError("memo remove takes the number of memo list");
    const int number = ParseIntArg(cli.inv.positional[1], "the number");
    MemoEntry removed;
    bool refused = false;
    std::string error;
    const bool done = ChangeMemoFile(
        cli.settingsFolder,
        [&](MemoDocument& document, std::string& why) {
          refused = number < 1 || number > document.RowCount();
          if (refused) {
            why = "no anniversary numbered " + cli.inv.positional[1] + " (memo list shows " +
                  std::to_string(document.RowCount()) + ")";
            return false;
          }
          removed = document.Rows()[static_cast<size_t>(number - 1)];
          return document.Remove(number - 1);
        },
        nullptr, &error);
    if (!done && refused) throw UsageError(error);
    if (!done) throw RuntimeFailure("cannot write " + JoinPath(cli.settingsFolder, kMemoFileName) + ": " + error);
    PrintRow(number, removed);
    return 0;
  }
  throw UsageError("memo takes list, add or remove, not '" + action + "'");
}

// The one place the upcoming list asks for a year's days.
CalendarOfDays ListYearDays(CliContext& cli, EngineContext& engine, YearTables& tables, int year,
                            const MemoTable& memos, const DaysOptions& options) {
  RequireYearInEphemeris(cli, year);
  CalendarOfDays days = cli.years->DaysOfYear(engine, tables, year, CorrectionWanted(cli), memos, options);
  if (days.Empty()) throw RuntimeFailure("the lunar calendar of " + std::to_string(year) + " could not be computed");
  return days;
}

int CmdUpcoming(CliContext& cli) {
  CivilDate from{cli.settings.TodayDate[0], cli.settings.TodayDate[1], cli.settings.TodayDate[2]};
  if (const auto text = cli.inv.Get("from")) from = ParseDateArg(*text);
  int days = kUpcomingDefaultDays;
  if (const auto text = cli.inv.Get("days")) {
    days = ParseIntArg(*text, "the number of days");
    if (days < 1 || days > kUpcomingMaxDays)
      throw UsageError("--days takes 1.." + std::to_string(kUpcomingMaxDays) + ", not " + *text);
  }
  const std::optional<std::string> format = cli.inv.Get("format");
  if (format && *format != "csv" && *format != "text")
    throw UsageError("--format takes csv or text, not '" + *format + "'");
  MemoTable memos;
  ReadMemoFile(memos, cli.settingsFolder, &cli.messages);
  EngineContext engine = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  DaysOptions options = DaysOptionsOf(cli);
  options.screenEclipses = false;  // the list names no eclipses
  const std::vector<UpcomingDay> list = UpcomingDays(
      [&](int year) { return ListYearDays(cli, engine, *tables, year, memos, options); }, from, days);
  std::fputs((format == "csv" ? UpcomingCsv(list) : UpcomingText(list)).c_str(), stdout);
  return 0;
}

}  // namespace

void RegisterMemoCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"memo", CmdMemo,
                      "memo list | memo add (--solar M-D | --lunar M-D [--leap]) --name NAME [--since YEAR] "
                      "[--mark none|holiday|highlight] | memo remove N",
                      1, 2,
                      {{"solar", true}, {"lunar", true}, {"leap", false}, {"name", true}, {"since", true},
                       {"mark", true}}});
  commands.push_back({"upcoming", CmdUpcoming, "upcoming [--from Y-M-D] [--days N] [--format text|csv]", 0, 0,
                      {{"from", true}, {"days", true}, {"format", true}}});
}

}  // namespace orv::cli
