// The monitor step.
#include "engine/Monitor.h"

#include <cmath>
#include <optional>

#include "store/DayCount.h"
#include "store/IoError.h"

namespace tw {

namespace {

struct HourMinute {
    int hour;
    int minute;
};

HourMinute HourMinuteOf(double value) {
    const ClockTime t = DecodeTime(value);
    return {t.hour, t.minute};
}

// A damaged file can hold any 8 bytes: a date that is no calendar date, or a time that is no
// number, is never shown and counts as overdue, so it ends up where the user can see and delete it.
bool Showable(const ReminderRecord& r) {
    return IsValidDayCount(r.RemDate) && std::isfinite(r.RemTime);
}

double Today(const platform::LocalTime& now) {
    return EncodeDate(now.year, now.month, now.day).value_or(0.0);
}

} // namespace

bool RecordNotEmpty(const ReminderRecord& r) {
    return r.Flag != 0 || r.RemDate != 0.0 || r.RemTime != 0.0 || r.Note[0] != 0;
}

bool IsDueNow(const ReminderRecord& r, const platform::LocalTime& now) {
    if (!Showable(r))
        return false;
    const std::optional<CivilDate> date = DecodeDate(r.RemDate);
    if (!date || *date != CivilDate{now.year, now.month, now.day})
        return false;
    const HourMinute at = HourMinuteOf(r.RemTime);
    const int late = now.minute - at.minute;
    return at.hour == now.hour && late >= 0 && late <= 5;
}

bool IsOverdue(const ReminderRecord& r, const platform::LocalTime& now) {
    if (!Showable(r))
        return true;
    const int day = CompareDay(r.RemDate, Today(now));
    if (day == -1)
        return true;
    if (day == 1)
        return false;
    const HourMinute at = HourMinuteOf(r.RemTime);
    return at.hour < now.hour || (at.hour == now.hour && now.minute - at.minute >= 6);
}

void Monitor::Mon_Rem() {
    GuardIo(m_boxes, [this] { step(); });
}

void Monitor::step() {
    Store& s = m_store;
    if (!s.RemindersEnabled || s.EditInProgress || s.MonitorState == MonitorShowing)
        return;

    const platform::LocalTime now = m_clock.now();
    if (s.MonitorState == MonitorIdle) {
        if (s.ActiveCount == 0)
            return;
        s.PeekEarliest(s.CurrentReminder);
        if (!RecordNotEmpty(s.CurrentReminder)) {
            // A blank record (from a damaged file) at the end of the table: drop it, one per step.
            s.PopEarliest(s.CurrentReminder);
            s.SaveActive();
            s.TablesChanged = true;
            return;
        }
        if (IsDueNow(s.CurrentReminder, now)) {
            const bool tablesChanged = s.TablesChanged;
            s.PopEarliest(s.CurrentReminder);
            m_activation.Viz_Rem(s.CurrentReminder);
            // A title-bar display runs to its end inside Viz_Rem and is settled in this same step.
            if (s.MonitorState == MonitorIdle) {
                // Nothing could show it (a title reminder while no titled window is in front, a
                // kind no display knows): it goes back where it was and is tried again at the next
                // step; once its minutes have passed it is set aside among the expired reminders
                // like every missed one, instead of vanishing unseen.
                s.AppendActive(s.CurrentReminder);
                s.TablesChanged = tablesChanged;
            }
        } else {
            std::optional<Store::ExpiredSaveBatch> batch;
            if (m_batchExpiredSaves)
                batch.emplace(s);
            // Every missed reminder goes to the expired table unseen, earliest first.
            MissedSweep sweep(m_repeats, now);
            while (RecordNotEmpty(s.CurrentReminder) && IsOverdue(s.CurrentReminder, now)) {
                s.PopEarliest(s.CurrentReminder);
                // As AppendExpired (refused duplicates and a full table are simply gone); a repeating
                // reminder leaves a one-off copy there and moves on to its next occurrence.
                sweep.SetAside(s.CurrentReminder);
                s.PeekEarliest(s.CurrentReminder);
            }
            sweep.Finish(); // the series back in the table, the missed ones reported
            if (batch)
                batch->finish();
            return;
        }
    }
    if (s.MonitorState == MonitorDone)
        settle(now);
}

void Monitor::settle(const platform::LocalTime& now) {
    Store& s = m_store;
    if (s.CurrentReminder.RemDate == 0.0) {
        s.MonitorState = MonitorIdle;
        m_repeats.Finished(s.CurrentReminder, now); // a repeating reminder goes back at its next occurrence
        s.SaveActive();
        s.TablesChanged = true;
        return;
    }
    // Rescheduled. The reminder goes back at once, also when its new time is not ahead of the clock
    // (a snooze shorter than the time the pop-up stayed open): the next step then shows it or sets it
    // aside, instead of the monitor waiting until midnight with every other reminder held up.
    s.MonitorState = MonitorIdle;
    if (s.InsertActive(s.CurrentReminder) == 1) {
        m_boxes.confirm("Error Save reminder");
        s.TablesChanged = true;
        // The active table is full: keep the reminder where the user can still find it.
        s.AppendExpired(s.CurrentReminder);
        return;
    }
    s.SortActive();
    // Saved here so that a snoozed reminder survives a crash or logoff before the next save point.
    s.SaveActive();
}

} // namespace tw
