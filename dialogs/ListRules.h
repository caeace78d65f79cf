// The list of reminders' rules that need no window: how many rows a grid has, which table entry a
// row shows, the six texts of a row and the tab captions. Plain C++ so that tests drive them
// without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "platform/Locale.h"
#include "store/DateFormat.h"
#include "store/ReminderRecord.h"

namespace tw {

inline constexpr int GridColumns = 7;
// The rule of a repeating reminder ("Once" for a one-off), after "Beep".
inline constexpr int RepeatColumn = 4;
inline constexpr int NoteColumn = 5;
// The last column is empty and lies mostly outside the visible width: the selection is parked there.
inline constexpr int ParkColumn = 6;
inline constexpr std::array<const char*, GridColumns> GridHeaders = {
    "Date", "Time", "Type", "Beep", "Repeat", "Text of Reminder", " "};
inline constexpr std::array<int, GridColumns> GridColumnWidths = {64, 48, 58, 56, 80, 238, 64};

// Rows of a grid, the header row included: the header and ten data rows while the table holds at
// most ten reminders, otherwise one row per reminder and the header.
int GridRowCount(int count);

// The table index that grid row `row` (1 = first data row) shows, or -1 when the row is empty. Row 1
// shows the last entry: the next due reminder of the active table, the latest expired one.
int RowToIndex(int row, int count);

// "Title", "Icon", "PopUp"; empty for any other kind.
std::string KindText(std::int32_t kind);
// "Beep" or "Mute".
std::string BeepText(std::uint8_t beep);
// The rule's name: "Once", "Every day" and so on.
std::string RepeatCellText(const ReminderRecord& r);

// The list and the editor format with these: dates "dd/mmm/yy", times "hh:nn".
void SetReminderFormats(FormatSettings& f);

// The six cell texts (UTF-8) of the row that shows r, in the formats as they are set.
std::array<std::string, GridColumns> RowTexts(const ReminderRecord& r, const FormatSettings& f,
                                              const platform::Locale& locale, const platform::CodePage& cp);

// "Active Reminders:  3" and "Expired Reminders:  0".
std::string ActiveCaption(int count);
std::string ExpiredCaption(int count);

} // namespace tw
