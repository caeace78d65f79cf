// What the monitor does with repeating reminders: a finished one goes back into the active table
// at its next occurrence; a missed one leaves a one-off copy of its latest missed occurrence in the
// expired table and moves on to its next occurrence. Also the count of the reminders a monitor step
// set aside unseen, reported once per step for the "Missed reminders" notice. One-off reminders
// take none of these paths.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Clock.h"
#include "platform/LocalTimeZone.h"
#include "platform/MessageBox.h"
#include "store/Recurrence.h"
#include "store/Store.h"

namespace tw {

// The reminders one monitor step moved to the expired table unseen (damaged and blank records not
// counted), and the latest of them.
struct MissedReport {
    int count = 0;
    ReminderRecord latest{};
};

// Told once at the end of a monitor step that set reminders aside unseen.
class MissedListener {
public:
    virtual ~MissedListener() = default;
    virtual void report(const MissedReport& report) = 0;
};

class RepeatingReminders {
public:
    RepeatingReminders(Store& store, platform::MessageBoxes& boxes);

    // The local time zone the occurrences are placed in; by default every minute exists.
    void setTimeZone(const platform::LocalTimeZone& zone) { m_zone = &zone; }
    const platform::LocalTimeZone& timeZone() const { return *m_zone; }
    // The listener of missed reminders; null detaches it.
    void setMissedListener(MissedListener* listener) { m_missed = listener; }

    // A display ended with the reminder finished (RemDate 0). A repeating reminder goes back into
    // the active table at its next occurrence after now and true is returned; when the table is
    // full the user is told and the series is kept among the expired reminders, rule and all.
    // A one-off reminder: false, nothing changes.
    bool Finished(ReminderRecord& current, const platform::LocalTime& now);

    // One occurrence: the day the series falls on and the local time it is shown at.
    struct Occurrence {
        std::int64_t day;
        platform::LocalTime at;
    };
    // The first occurrence of a series that is not overdue at now; nothing for a one-off or a
    // series that ends before it (past the year 9999).
    std::optional<Occurrence> NextNotOverdue(const RepeatRule& rule, const platform::LocalTime& now) const;

private:
    friend class MissedSweep;
    Store& m_store;
    platform::MessageBoxes& m_boxes;
    const platform::LocalTimeZone* m_zone;
    MissedListener* m_missed = nullptr;
    // Series waiting to go back into the active table at the end of a sweep; allocated once, off
    // the stack of whoever holds the monitor.
    std::unique_ptr<ReminderTable> m_held;
    int m_heldCount = 0;
};

// The monitor's sweep of missed reminders within one step. Each record the loop takes from the
// active table goes through SetAside; Finish puts the series back at their next occurrences (one
// sort), reports the step's missed reminders and saves "rd.dt" when a series moved. If the step
// ends early (an I/O error), the destructor still puts the series back, so none is lost.
class MissedSweep {
public:
    MissedSweep(RepeatingReminders& repeats, const platform::LocalTime& now) : m_r(repeats), m_now(now) {}
    MissedSweep(const MissedSweep&) = delete;
    MissedSweep& operator=(const MissedSweep&) = delete;
    ~MissedSweep();

    // In place of AppendExpired for a missed reminder.
    void SetAside(const ReminderRecord& r);
    void Finish();

private:
    void putBack();
    void count(const ReminderRecord& r);

    RepeatingReminders& m_r;
    platform::LocalTime m_now;
    MissedReport m_report;
    bool m_finished = false;
};

} // namespace tw
