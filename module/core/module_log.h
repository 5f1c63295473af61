// The module's log, ORVANTE\ORVANTE.LOG under the user's application-data
// folder: truncated at each start, every line written printf-style and flushed
// at once, no time stamps. Lines are dropped while no log is open.
#pragma once
#include <string>

namespace orvante {

// Opens (truncates) the log at path; false when it cannot be created.
bool OpenLog(const std::string& path);
void CloseLog();
bool IsLogOpen();

// Writes one printf-style line (the format carries its own "\n") and flushes.
void LogWrite(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Every line written is also handed to this observer (the stand-in
// simulator's transcript listens here); null removes it.
using LogObserver = void (*)(const char* line);
void SetLogObserver(LogObserver observer);

}  // namespace orvante
