// Adding a reminder from one line of quick entry without a window: the command line's --add, in a
// process of its own ("rd.dt" in the data folder) or through the running copy (its store). The
// reminder is the editor's default new one (pop-up, no sound) with the line's day, time, repeat and
// note, stored and saved as the editor's OK stores and saves it.
#pragma once

#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/LocalTimeZone.h"
#include "platform/Locale.h"
#include "store/QuickEntry.h"
#include "store/ReminderRecord.h"
#include "store/Store.h"

namespace tw {

// Exit statuses of --add.
inline constexpr int QuickAddStored = 0;
inline constexpr int QuickAddFailed = 1;  // the reminder file could not be read or written, or the table is full
inline constexpr int QuickAddRefused = 2; // the line is not a reminder (not understood, past, no such date)

struct QuickAddResult {
    int status = QuickAddStored;
    std::string line; // the one line to print: what was stored (stdout), or why nothing was (stderr)
};

// The services a line is read with.
struct QuickAddServices {
    const platform::Clock& clock;
    const platform::LocalTimeZone& zone;
    const platform::Locale& locale;
    const platform::CodePage& codePage;
};

// The record of an entry: KindPopUp, no beep, the day and time, the note in the files' code page,
// and the repeat rule anchored at the day and time. Every other byte is 0.
ReminderRecord QuickRecord(const QuickEntry& e, const platform::CodePage& codePage);

// The running copy takes a line: the reminder goes into the active table, which is sorted, and
// "rd.dt" is saved. Nothing stays in the table when the line is refused, the table is full or the
// save fails. The edit session and the monitor's state are left alone.
QuickAddResult TakeQuickEntry(Store& store, std::string_view text, const QuickAddServices& services);

// No copy running: loads "rd.dt" through the store's file system (the data folder) into the
// store, which is empty, and takes the line as above. A refused line touches no file; a file that
// cannot be read is not written.
QuickAddResult AddQuickEntryToFile(Store& store, std::string_view text, const QuickAddServices& services);

} // namespace tw
