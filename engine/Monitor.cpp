// The monitor step: the due and overdue tests, taking up the due reminder, setting missed ones
// aside, and settling a display that has ended.
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

double Today(const platform::LocalTime& now) {
    return EncodeDate(now.year, now.month, now.day).value_or(0.0);
}

} // namespace

bool Showable(const ReminderRecord& r) {
    return IsValidDayCount(r.RemDate) && std::isfinite(r.RemTime);
}

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

std::optional<platform::LocalTime> NextStepTime(const Store& s, const platform::LocalTime& now) {
    const double nowValue = ToDayCount(now);
    const auto soon = FromDayCount(nowValue + 1000.0 / static_cast<double>(MsPerDay));
    if (s.IconFlashing)
        return soon;
    if (!s.RemindersEnabled || s.EditInProgress || s.MonitorState == MonitorShowing)
        return std::nullopt;
    if (s.MonitorState == MonitorDone)
        return soon;
    if (s.ActiveCount <= 0)
        return std::nullopt;
    ReminderRecord earliest{};
    s.PeekEarliest(earliest);
    const std::optional<CivilDate> date = DecodeDate(earliest.RemDate);
    if (!RecordNotEmpty(earliest) || !Showable(earliest) || !date)
        return soon;
    const HourMinute at = HourMinuteOf(earliest.RemTime);
    const platform::LocalTime start{date->year, date->month, date->day, at.hour, at.minute, 0, 0};
    if (ToDayCount(start) > nowValue)
        return start;
    return soon;
}

void Monitor::Mon_Rem() {
    GuardIo(m_boxes, [this] { step(); });
}

void Monitor::step() {
    Store& s = m_store;
    if (!s.RemindersEnabled || s.EditInProgress || s.MonitorState == MonitorShowing)
        return;

    const platform::LocalTime now = m_clock.now();
    if (s.MonitorState == MonitorIdle && !takeUp(now))
        return;
    if (s.MonitorState == MonitorDone)
        settle(now);
}

// The idle step: shows the due reminder, or sets missed ones aside. True when a display was started
// (and may already have ended, as the title-bar display does inside Viz_Rem). The reminders set
// aside unseen in the step go through one sweep: series move on to their next occurrence, and the
// step reports them once.
bool Monitor::takeUp(const platform::LocalTime& now) {
    MissedSweep sweep(m_repeats, now);
    const bool started = takeUp(now, sweep);
    sweep.Finish();
    return started;
}

bool Monitor::takeUp(const platform::LocalTime& now, MissedSweep& sweep) {
    Store& s = m_store;
    for (;;) {
        if (s.ActiveCount == 0)
            return false;
        s.PeekEarliest(s.CurrentReminder);
        if (!RecordNotEmpty(s.CurrentReminder)) {
            // A blank record (from a damaged file) at the end of the table: drop it, one per step.
            s.PopEarliest(s.CurrentReminder);
            s.SaveActive();
            s.TablesChanged = true;
            return false;
        }
        if (!IsDueNow(s.CurrentReminder, now)) {
            expireMissed(now, sweep);
            return false;
        }
        const bool tablesChanged = s.TablesChanged;
        s.PopEarliest(s.CurrentReminder);
        m_activation.Viz_Rem(s.CurrentReminder);
        if (s.MonitorState != MonitorIdle)
            return true;
        // Nothing could show it (a title reminder while no titled window is in front, a kind no
        // display knows). It is tried again at the next step while it holds up nothing; as soon as
        // the reminder behind it is due or overdue, it is set aside among the expired reminders,
        // where the user can see it, and the next one is handled in this same step.
        ReminderRecord next{};
        s.PeekEarliest(next);
        if (s.ActiveCount > 0 && RecordNotEmpty(next) && (IsDueNow(next, now) || IsOverdue(next, now))) {
            sweep.SetAside(s.CurrentReminder);
            continue;
        }
        s.AppendActive(s.CurrentReminder);
        s.TablesChanged = tablesChanged;
        return false;
    }
}

// Every missed reminder goes to the expired table unseen, earliest first.
void Monitor::expireMissed(const platform::LocalTime& now, MissedSweep& sweep) {
    Store& s = m_store;
    std::optional<Store::ExpiredSaveBatch> batch;
    if (m_batchExpiredSaves)
        batch.emplace(s);
    while (RecordNotEmpty(s.CurrentReminder) && IsOverdue(s.CurrentReminder, now)) {
        s.PopEarliest(s.CurrentReminder);
        // As AppendExpired (refused duplicates and a full table are simply gone); a repeating reminder
        // leaves a one-off copy there and moves on to its next occurrence.
        sweep.SetAside(s.CurrentReminder);
        s.PeekEarliest(s.CurrentReminder);
    }
    if (batch)
        batch->finish();
}

// The display has ended: a finished reminder is dropped, a rescheduled one put back.
void Monitor::settle(const platform::LocalTime& now) {
    if (m_store.CurrentReminder.RemDate == 0.0)
        settleFinished(now);
    else
        settleRescheduled();
}

// A finished one-off reminder leaves the program: it is already out of the active table, whose file
// is saved without it. A repeating one goes back at its next occurrence.
void Monitor::settleFinished(const platform::LocalTime& now) {
    Store& s = m_store;
    m_handBack.settled();
    m_repeats.Finished(s.CurrentReminder, now);
    s.SaveActive();
    s.TablesChanged = true;
}

// The reminder goes back at once, also when its new time is not ahead of the clock (a snooze shorter
// than the time the pop-up stayed open): the next step then shows it or sets it aside, instead of
// the monitor waiting until midnight with every other reminder held up.
void Monitor::settleRescheduled() {
    Store& s = m_store;
    m_handBack.settled();
    if (s.InsertActive(s.CurrentReminder) == 1) {
        m_boxes.confirm("Error Save reminder");
        s.TablesChanged = true;
        // The active table is full: keep the reminder where the user can still find it.
        s.AppendExpired(s.CurrentReminder);
        return;
    }
    // InsertActive has sorted the table. Saved here so that a snoozed reminder survives a crash or
    // logoff before the next save point.
    s.SaveActive();
}

} // namespace tw
