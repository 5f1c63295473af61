// The runway query: the bounding box around the aircraft as an SQL statement
// over the runway table, each row decoded into a runway-end record, then the
// completion pass that pairs the ends and adds those the table lacks.
#pragma once
#include <string>

#include "runways/runway_database.h"
#include "runways/text_table.h"

namespace orvante {

// Half the side of the query box, in degrees of latitude and of longitude
// alike: 13 minutes of arc.
inline constexpr double RUNWAY_BOX_HALF_SIZE = 0.21666666666666667;

// The statement for a position, with the schema's names of columns 11 and 12
// and the bounds written with 8 decimals.
std::string ComposeRunwayQuery(const RunwayDatabase& db, double latitude, double longitude);

// Replaces the runway list with the completed records of the runway ends
// whose reference point lies strictly inside the box around the position.
void QueryRunways(RunwayDatabase& db, double latitude, double longitude);

// Fills a zero-filled record from a row, field by ordinal. An empty field
// leaves its field at 0 (or empty). Returns false, leaving the record
// unusable, when a field cannot be converted or column 2 is outside 0 to 999.
bool DecodeRow(const TableRow& row, RunwayRecord& record);

// Whether a row can become a record; a failure says why not. The connection
// uses it to leave such rows out when it reads the table.
common::Result<> CheckRunwayRow(const TableRow& row);

// The completion pass: every record, in list order and including those
// appended on the way, is given once to PairRunwayEnd; new records are
// appended to the list. Only records of the table add records, so the pass
// ends even when an end lies at 0,0.
void CompleteRunwayList(RunwayList& list);

// Logs a failed statement: code, meaning, source and description, then the
// provider's error list.
void ReportComError(RunwayDatabase& db, const ProviderError& error);

// The meaning of a result code: the system's text where it has one, else
// "IDispatch error #n" or "Unknown error 0x...".
std::string ComErrorMessage(uint32_t code);

}  // namespace orvante
