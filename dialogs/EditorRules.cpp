// The editor's window-free rules: building and storing reminders, held values, the note.
#include "dialogs/EditorRules.h"

#include <cmath>

#include "platform/Utf8.h"
#include "store/DayCount.h"
#include "store/LineBreaks.h"

namespace tw {

std::string CapacityMessage() {
    return "Count of reminder must be less " + std::to_string(MaxReminders);
}

NewRecords BuildRecords(const ActivationChoices& choices, double date, double time, std::string_view noteAnsi,
                        Repeat repeat) {
    NewRecords out;
    const RepeatRule rule = RuleAt(repeat, date, time);
    for (std::size_t row = 0; row < choices.size(); ++row) {
        if (!choices[row].checked)
            continue;
        ReminderRecord r{}; // every byte not set below stays 0
        r.Kind = RowKinds[row];
        r.Beep = choices[row].beep ? 1 : 0;
        r.RemDate = date;
        r.RemTime = time;
        SetNote(r, noteAnsi);
        WriteRule(r, rule);
        out.records[static_cast<std::size_t>(out.count++)] = r;
    }
    return out;
}

ActivationChoices ChoicesFromRecord(const ReminderRecord& r) {
    ActivationChoices c{};
    for (std::size_t row = 0; row < RowKinds.size(); ++row) {
        if (r.Kind == RowKinds[row]) {
            c[row].checked = true;
            c[row].beep = r.Beep != 0;
        }
    }
    return c;
}

ApplyOutcome StoreRecords(Store& s, platform::MessageBoxes& boxes, const NewRecords& recs) {
    ApplyOutcome out;
    if (s.ActiveCount >= MaxReminders) {
        out.tableFull = true;
        out.stopped = true;
        boxes.information(CapacityMessage());
        if (s.EditPending())
            s.CancelEdit(); // the reminder is kept, and the monitor goes on
        return out;
    }
    for (int i = 0; i < recs.count; ++i) {
        if (s.AppendActive(recs.records[static_cast<std::size_t>(i)]) != 0) {
            out.tableFull = true;
            break;
        }
        ++out.stored;
    }
    if (out.tableFull)
        boxes.information(CapacityMessage());
    s.SortActive();
    s.EditStored();
    return out;
}

namespace {

// The fraction of a day a value holds, as a non-negative number (negative values count backwards
// from the epoch but their time of day is still the distance past midnight).
double TimeFraction(double v) {
    if (!std::isfinite(v))
        return 0.0;
    return std::fabs(v - std::trunc(v));
}

double WholeDays(double v) {
    return std::isfinite(v) ? std::trunc(v) : 0.0;
}

} // namespace

double ReplaceDay(double held, int year, int month, int day) {
    const auto d = EncodeDate(year, month, day);
    if (!d)
        return held;
    const double frac = TimeFraction(held);
    return *d >= 0 ? *d + frac : *d - frac;
}

double ReplaceHourMinute(double held, int hour, int minute) {
    const ClockTime old = std::isfinite(held) ? DecodeTime(held) : ClockTime{};
    const double t = EncodeTime(hour, minute, old.second, old.millisecond);
    const double days = WholeDays(held);
    return std::signbit(held) && days != 0.0 ? days - t : days + t;
}

std::string NoteToStored(std::string_view editorUtf8, const platform::CodePage& cp) {
    return cp.fromUtf8(BreaksToCrLf(editorUtf8));
}

std::string NoteToEditor(const ReminderRecord& r, const platform::CodePage& cp) {
    return cp.toUtf8(BreaksToLf(NoteText(r)));
}

bool FitsCodePage(char16_t c, const platform::CodePage& cp) {
    if (c < 0x80)
        return true;
    if (c >= 0xD800 && c <= 0xDFFF) // half of a character beyond the code page's reach
        return false;
    std::string utf8;
    platform::AppendUtf8(utf8, c);
    return cp.fromUtf8(utf8) != "?";
}

int NoteInputLength(std::u16string_view text) {
    int n = 0;
    for (char16_t c : text)
        n += c == u'\n' ? 2 : 1;
    return n;
}

} // namespace tw
