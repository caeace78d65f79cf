// Finished and missed repeating reminders, and the per-step count of missed ones.
#include "engine/RepeatingReminders.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Monitor.h"
#include "store/DayCount.h"

namespace tw {

namespace {

// The default zone: every local minute exists.
class PlainZone : public platform::LocalTimeZone {
public:
    platform::LocalTime firstExistingMinute(const platform::LocalTime& t) const override {
        platform::LocalTime m = t;
        m.second = 0;
        m.millisecond = 0;
        return m;
    }
};
const PlainZone DefaultZone;

// Day and time of day of a record, for finding the latest one.
std::int64_t Moment(const ReminderRecord& r) {
    return DayNumber(r.RemDate) * MsPerDay + MillisecondOfDay(r.RemTime);
}

std::int64_t Moment(const platform::LocalTime& t) {
    return LocalMinute(t) * 60'000;
}

} // namespace

RepeatingReminders::RepeatingReminders(Store& store, platform::MessageBoxes& boxes)
    : m_store(store), m_boxes(boxes), m_zone(&DefaultZone), m_held(std::make_unique<ReminderTable>()) {}

bool RepeatingReminders::Finished(ReminderRecord& current, const platform::LocalTime& now) {
    const RepeatRule rule = ReadRule(current);
    const auto next = NextOccurrenceAfter(rule, now, *m_zone);
    if (!next)
        return false;
    SetOccurrence(current, *next);
    if (m_store.InsertActive(current) != 0) {
        // The editor filled the table while the reminder was on show: keep the series where the
        // user can find it and edit it back into the active table.
        m_boxes.confirm("Error Save reminder");
        m_store.AppendExpired(current);
    }
    m_store.TablesChanged = true;
    return true;
}

std::optional<RepeatingReminders::Occurrence> RepeatingReminders::NextNotOverdue(const RepeatRule& rule,
                                                                                 const platform::LocalTime& now) const {
    const auto today = EncodeDate(now.year, now.month, now.day);
    if (rule.repeat == Repeat::Once || !today)
        return std::nullopt;
    std::optional<std::int64_t> day = FirstDayFrom(rule, static_cast<std::int64_t>(*today) - 1);
    for (int i = 0; day && i < 4; ++i) {
        const platform::LocalTime at = OccurrenceOn(rule, *day, *m_zone);
        ReminderRecord probe{};
        SetOccurrence(probe, at);
        if (!IsOverdue(probe, now))
            return Occurrence{*day, at};
        day = FirstDayFrom(rule, *day + 1);
    }
    return std::nullopt;
}

MissedSweep::~MissedSweep() {
    if (!m_finished)
        putBack();
}

void MissedSweep::count(const ReminderRecord& r) {
    if (m_report.count == 0 || Moment(r) >= Moment(m_report.latest))
        m_report.latest = r;
    ++m_report.count;
}

void MissedSweep::SetAside(const ReminderRecord& r) {
    Store& s = m_r.m_store;
    const RepeatRule rule = Showable(r) ? ReadRule(r) : RepeatRule{};
    const auto next = m_r.NextNotOverdue(rule, m_now);
    ReminderRecord copy = r;
    if (next) {
        // The series moves on; held back so that the loop, which looks at the last slot, does not
        // meet it again in this step.
        ReminderRecord series = r;
        SetOccurrence(series, next->at);
        (*m_r.m_held)[m_r.m_heldCount++] = series;
        // The copy is the latest occurrence that passed: the regular one before the next, unless
        // the record's own (a first occurrence off the rule, or a snoozed one) came after it.
        ClearRule(copy);
        if (const auto day = LastDayBefore(rule, next->day)) {
            const platform::LocalTime last = OccurrenceOn(rule, *day, m_r.timeZone());
            if (Moment(last) > Moment(r))
                SetOccurrence(copy, last);
        }
    }
    const bool full = s.ExpiredCount >= MaxReminders;
    const bool appended = s.AppendExpired(copy) == 0; // a copy already expired is not doubled
    if (Showable(r) && (appended || full))
        count(copy);
}

void MissedSweep::putBack() {
    Store& s = m_r.m_store;
    if (m_r.m_heldCount == 0)
        return;
    // Each held series left a slot of its own in this step, so there is room for all of them. They
    // go in latest first, so that the sort finds them in order (900 records moved into place one
    // exchange at a time took half of the step), and series due at the same minute keep the order in
    // which they were taken from the table.
    const ReminderTable& held = *m_r.m_held;
    std::vector<int> order(static_cast<std::size_t>(m_r.m_heldCount));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = m_r.m_heldCount - 1 - static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&held](int a, int b) {
        const int day = CompareDay(held[a].RemDate, held[b].RemDate);
        return day == 1 || (day == 0 && CompareTimeOfDay(held[a].RemTime, held[b].RemTime) == 1);
    });
    for (int i : order)
        s.AppendActive(held[i]);
    m_r.m_heldCount = 0;
    s.SortActive();
}

void MissedSweep::Finish() {
    m_finished = true;
    const bool seriesMoved = m_r.m_heldCount > 0;
    putBack();
    if (m_report.count > 0 && m_r.m_missed != nullptr)
        m_r.m_missed->report(m_report);
    if (seriesMoved)
        m_r.m_store.SaveActive();
}

} // namespace tw
