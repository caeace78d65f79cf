// Quick entry: a reminder typed as one line ("tomorrow 9am call the garage"). ReadQuickEntry reads
// the words for the day, the time and the repeat at the start of the line and takes the rest as the
// note; QuickEntryLine gives the one line that says what will be stored, which reads back to the
// same reminder. Shared by the editor's "Quick entry" field and the command line's --add. English
// only; docs/quick-entry.md lists the phrases and how a translation would extend the reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/LocalTimeZone.h"
#include "platform/Locale.h"
#include "store/Recurrence.h"

namespace tw {

// A reminder read from one line: the day, the time of day, the repeat rule and the note.
struct QuickEntry {
    std::int64_t day = 0; // days since 30 December 1899
    int minuteOfDay = 0;  // 0..1439
    Repeat repeat = Repeat::Once;
    std::string note; // UTF-8, one line, at most NoteInputLimit characters of the files' code page

    double date() const { return static_cast<double>(day); }
    double time() const;
    friend bool operator==(const QuickEntry&, const QuickEntry&) = default;
};

// What the reader made of a line. The parts it understood are set also when the line as a whole is
// refused, so that a form can follow the typing; error names the part that was not understood.
struct QuickReading {
    std::optional<std::int64_t> day;
    std::optional<int> minuteOfDay;
    std::optional<Repeat> repeat;
    std::string note;
    std::string error; // empty: the line is a whole reminder

    bool accepted() const { return error.empty(); }
    // The reminder of an accepted line (all parts set).
    QuickEntry entry() const;
};

// The moment and the conventions a line is read in.
struct QuickEntryContext {
    platform::LocalTime now;
    const platform::Locale& locale;     // the list's month names, separators and the short date order
    const platform::CodePage& codePage; // the characters a note can hold
    // Which local minutes exist; null: every minute does.
    const platform::LocalTimeZone* zone = nullptr;
};

// The most characters a note takes (the editor's limit).
inline constexpr int QuickNoteLimit = 128;

QuickReading ReadQuickEntry(std::string_view utf8, const QuickEntryContext& ctx);

// "10/Dec/26 09:00 Every day call the garage": the date and the time in the list's formats
// ("dd/mmm/yy", "hh:nn"; a year the reader would take for another century is written in full), the
// repeat text and the note.
std::string QuickEntryLine(const QuickEntry& e, const QuickEntryContext& ctx);

} // namespace tw
