// The editor's rules that need no window: the records one press of OK or Add builds, how they go
// into the active table (also when it has fewer free slots than ticked boxes), the pickers' held
// values, the note's conversions and its typing rules. Plain C++ so that tests drive them without
// a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "store/Recurrence.h"
#include "store/ReminderRecord.h"
#include "store/Store.h"

namespace tw {

inline constexpr const char* EmptyNoteMessage = "Empty reminder can be not added  ";
// "Count of reminder must be less 901".
std::string CapacityMessage();

// The note takes at most this many characters, a line break counting as two (CR LF).
inline constexpr int NoteInputLimit = 128;

// One row of the activation group: the check box and its sound list.
struct ActivationChoice {
    bool checked = false;
    bool beep = false; // the sound list shows "Beep"; read only when checked
};

// The three rows in the order they are processed: Title, PopUp, Icon.
enum ActivationRow { RowTitle = 0, RowPopUp = 1, RowIcon = 2 };
using ActivationChoices = std::array<ActivationChoice, 3>;
inline constexpr std::array<std::int32_t, 3> RowKinds = {KindTitle, KindPopUp, KindIcon};

// The records of one Apply: one per ticked box, in row order.
struct NewRecords {
    std::array<ReminderRecord, 3> records{};
    int count = 0;
};

// Builds the records for the ticked boxes. noteAnsi is the note as stored (CR LF line breaks). Each
// record gets the rule, anchored at the date and time (a "Once" record leaves the padding zero).
NewRecords BuildRecords(const ActivationChoices& choices, double date, double time, std::string_view noteAnsi,
                        Repeat repeat = Repeat::Once);

// The boxes and sound lists that show a record being edited; an unknown kind ticks no box.
ActivationChoices ChoicesFromRecord(const ReminderRecord& r);

struct ApplyOutcome {
    int stored = 0;         // records put into the active table
    bool tableFull = false; // the capacity message was shown
    bool stopped = false;   // the table was full before the first record: nothing was stored
};

// Puts the records of one Apply into the active table: as many as there are free slots, the rest
// refused with the capacity message. When not one slot is free nothing changes, and a pending edit
// is given back so the reminder is kept and the monitor goes on. Otherwise the table is sorted and
// a pending edit has ended. May throw IoError (giving back can write "re.dt").
ApplyOutcome StoreRecords(Store& s, platform::MessageBoxes& boxes, const NewRecords& recs);

// The date picker shows only the day: choosing a day keeps the time of day the value held.
double ReplaceDay(double held, int year, int month, int day);
// The time picker shows hours and minutes: choosing them keeps the day and the seconds held.
double ReplaceHourMinute(double held, int hour, int minute);

// The note as the editor holds it (UTF-8, "\n" line breaks) to the stored form (ANSI, CR LF), and
// back. A lone CR or LF from a file shows as a line break.
std::string NoteToStored(std::string_view editorUtf8, const platform::CodePage& cp);
std::string NoteToEditor(const ReminderRecord& r, const platform::CodePage& cp);

// The length the note counts against NoteInputLimit: characters, with every line break as two.
int NoteInputLength(std::u16string_view text);

// True when the files' code page holds the character. The note takes no other characters: they
// would be stored as '?'.
bool FitsCodePage(char16_t c, const platform::CodePage& cp);

} // namespace tw
