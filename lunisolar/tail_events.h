// The new moons and major terms just past the end of the year's lists. The
// syzygy list stops at its capacity or 17 days before the day table's end and
// the term list at the table's end, so the months of the table's last weeks
// would have no end and no leap test; these few events give them both.
#pragma once

#include "ephemeris/context.h"
#include "lunisolar/year_tables.h"

namespace orv {

// Fills tables.TailNewMoons (the new moons after the last listed one, up to
// the first that begins past the table's end) and tables.TailMajorTerms (the
// major terms after the last listed term, up to the last of those new moons).
// The lists and the day table must be filled.
void FindEventsPastLists(EngineContext& ctx, YearTables& tables);

}  // namespace orv
