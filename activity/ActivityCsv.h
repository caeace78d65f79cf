// The saved activity log: CSV in UTF-8 (with a byte-order mark so that spreadsheets pick the
// encoding), CRLF line ends, fields quoted where needed. A header row, then one row per entry: the
// day root's date and start time, the title, the counted time as hh:mm:ss and in seconds. A day root
// without entries is one row with the last three fields empty, so that it survives a round trip.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "activity/ActivityLog.h"
#include "platform/CodePage.h"
#include "platform/Locale.h"

namespace tw {

inline constexpr const char* ActivityFileName = "activity.csv";
// Larger files are not read: no log of a running program comes near this.
inline constexpr std::size_t MaxActivityFileBytes = 64u * 1024u * 1024u;

std::string WriteActivityCsv(const std::vector<DayRoot>& roots, const platform::CodePage& codePage);

struct ActivityCsvResult {
    std::vector<DayRoot> roots; // what could be read
    int badRows = 0;            // rows (or a header) that could not be read and were skipped
    int firstBadLine = 0;       // line of the first of them, counting from 1
};

// Reads a saved log back. Entry texts are rebuilt with "hh:nn:ss" and the locale's separators.
ActivityCsvResult ReadActivityCsv(std::string_view data, const platform::CodePage& codePage,
                                  const platform::Locale& locale);

// The message for a damaged file; empty when nothing was wrong.
std::string ActivityCsvDamageText(const ActivityCsvResult& result, const std::string& fileName);

} // namespace tw
