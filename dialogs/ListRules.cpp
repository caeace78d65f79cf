// The list of reminders' window-free rules.
#include "dialogs/ListRules.h"

#include "store/LineBreaks.h"
#include "store/Recurrence.h"

namespace tw {

int GridRowCount(int count) {
    return count <= 10 ? 11 : count + 1;
}

int RowToIndex(int row, int count) {
    if (row < 1 || row > count)
        return -1;
    return count - row;
}

std::string KindText(std::int32_t kind) {
    switch (kind) {
    case KindTitle:
        return "Title";
    case KindIcon:
        return "Icon";
    case KindPopUp:
        return "PopUp";
    default:
        return {};
    }
}

std::string BeepText(std::uint8_t beep) {
    return beep != 0 ? "Beep" : "Mute";
}

std::string RepeatCellText(const ReminderRecord& r) {
    return std::string(RepeatText(ReadRule(r).repeat));
}

void SetReminderFormats(FormatSettings& f) {
    f.LongTimeFormat = "hh:nn";
    f.ShortDateFormat = "dd/mmm/yy";
    f.LongDateFormat = "dd/mmm/yy";
}

std::array<std::string, GridColumns> RowTexts(const ReminderRecord& r, const FormatSettings& f,
                                              const platform::Locale& locale, const platform::CodePage& cp) {
    return {DateToStr(f, locale, r.RemDate),
            TimeToStr(f, locale, r.RemTime),
            KindText(r.Kind),
            BeepText(r.Beep),
            RepeatCellText(r),
            cp.toUtf8(OneLineNote(NoteText(r))),
            std::string()};
}

std::string ActiveCaption(int count) {
    return "Active Reminders:  " + std::to_string(count);
}
std::string ExpiredCaption(int count) {
    return "Expired Reminders:  " + std::to_string(count);
}

} // namespace tw
