// Shared by the item writers of the simulation (app/core/simulation*.cpp):
// the output file and the state of one run. Not for use outside them.
#pragma once

#include <cstdio>
#include <string>

#include "app/core/files/files.h"
#include "app/core/simulation/simulation.h"
#include "time/text_format.h"

namespace orv::simulation {

// The CSV being written: a temporary file beside the target, starting with
// the UTF-8 byte-order mark (so spreadsheet programs read the Korean text),
// renamed over the target by Commit. Dropped without Commit, it removes the
// temporary file.
class CsvOutput {
 public:
  // False (with errno set) when the temporary file cannot be created.
  bool Create(const std::string& path);
  // An output that writes nothing and counts what it would have written
  // (the size estimate's sample runs).
  void CreateCounting();
  unsigned long long CountedBytes() const { return countedBytes_; }
  unsigned long long CountedLineEnds() const { return countedLineEnds_; }
  void Write(const std::string& text);
  // Writes what is buffered, flushes to the disk and renames; false when any
  // write failed. Without it the temporary file is removed and the old file
  // stays.
  bool Commit();

 private:
  bool Flush();

  AtomicFile file_;
  std::string buffer_;
  bool failed_ = false;
  bool counting_ = false;
  unsigned long long countedBytes_ = 0;
  unsigned long long countedLineEnds_ = 0;
};

// The item's own refusals (a target or a value it cannot compute, an
// ephemeris it needs), each with its message; checked before the output file
// is touched, so a refused run leaves any old file as it was.
bool AcceptItemInputs(const SimulationRequest& request, SimulationEnvironment& env);

// Thrown by ItemRun::Progress when the run is cancelled; WriteRun drops the
// temporary file.
struct RunCancelled {};

// One run of an item: the request, the program's state, the output and the
// instants of the run.
struct ItemRun {
  const SimulationRequest& request;
  SimulationEnvironment& env;
  CsvOutput& out;
  double startJD = 0.0;  // t0, selected time system less the zone offset
  double endJD = 0.0;    // end of item 14's eclipse list
  int eventsFound = 0;   // eclipses written by item 14

  EngineContext& ctx() const { return env.ctx; }
  const CalcSettings& settings() const { return env.ctx.settings; }
  // Moves the progress bar; throws RunCancelled when the user stopped the run.
  void Progress(int position, int maximum) const {
    if (env.progress) env.progress(position, maximum);
    if (env.cancelled && env.cancelled()) throw RunCancelled{};
  }
  // "\n" and the date column of t.
  void BeginLine(double t) const { out.Write("\n" + SimulationDateColumn(settings(), t)); }

  // Runs `line(t)` for every repetition with the progress bar, each line's
  // instant reckoned from the start and the line's index.
  template <class Line>
  void EachRepetition(Line&& line) const {
    const int n = request.repetitions;
    for (int k = 1; k <= n; ++k) {
      Progress(k, n);
      line(LineInstant(request, settings(), startJD, k - 1));
    }
    Progress(0, n);
  }
};

// Writers, one per item (the header line first, then the lines).
void WriteAstrometric(ItemRun& run);         // 0
void WriteApparentEquatorial(ItemRun& run);  // 1
void WriteApparentEcliptic(ItemRun& run);    // 2
void WriteHorizontal(ItemRun& run);          // 3
void WriteLongitudePassage(ItemRun& run);    // 4
void WritePerigeeApogee(ItemRun& run);       // 5
void WritePrecessionAngles(ItemRun& run);    // 6
void WriteNutationAngles(ItemRun& run);      // 7
void WriteObliquity(ItemRun& run);           // 8
void WriteDeltaT(ItemRun& run);              // 9
void WriteSiderealTime(ItemRun& run);        // 10
void WriteSolarTerms(ItemRun& run);          // 11
void WriteSyzygies(ItemRun& run);            // 12
void WriteNoMajorTermMonths(ItemRun& run);   // 13
void WriteEclipses(ItemRun& run);            // 14

}  // namespace orv::simulation
