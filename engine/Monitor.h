// The once-a-second monitor step: finds the reminder that is due and hands it to the activation,
// sets missed reminders aside in the expired table, and settles a shown reminder when its display
// has ended (drops it, or puts a rescheduled one back).
#pragma once

#include <optional>

#include "engine/Activation.h"
#include "engine/RepeatingReminders.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "store/Store.h"

namespace tw {

// A damaged file can hold any 8 bytes: a date that is no calendar date, or a time that is no
// number, is never shown and counts as overdue, so it ends up where the user can see and delete it.
bool Showable(const ReminderRecord& r);
// False only for a blank record: Flag, RemDate, RemTime and the note length all zero.
bool RecordNotEmpty(const ReminderRecord& r);
// The reminder's minute has come: same date, same hour, and now 0 to 5 minutes past its minute.
bool IsDueNow(const ReminderRecord& r, const platform::LocalTime& now);
// The reminder's day is over, or its hour, or six or more minutes of its hour have passed. A record
// whose date is no calendar date, or whose time is not finite, counts as overdue: it is never shown.
bool IsOverdue(const ReminderRecord& r, const platform::LocalTime& now);

// When the next monitor step is wanted, for the shared state as it stands at now: the first moment
// of the earliest pending reminder's minute. One second on while that minute has already begun (the
// reminder waits for a display to settle, or could not be shown), while a finished display waits to
// be settled, and while the tray icon flashes (its tooltip follows the date formats each second).
// Nothing while no step can find anything to do until the tables, the switch, the edit session or
// a display change: reminders disabled, the editor holding a reminder, a display on show, an empty
// table.
std::optional<platform::LocalTime> NextStepTime(const Store& s, const platform::LocalTime& now);

class Monitor {
public:
    // handBack is the one the displays report through; the monitor settles an ended display on it.
    Monitor(Store& store, const platform::Clock& clock, platform::MessageBoxes& boxes, Activation& activation,
            HandBack& handBack)
        : m_store(store), m_clock(clock), m_boxes(boxes), m_activation(activation), m_handBack(handBack) {}

    // One monitor step. An I/O error ends the step after its message box.
    void Mon_Rem();

    // When true (the default), a step that moves several missed reminders writes "re.dt" once at
    // its end instead of once per reminder; the file is the same either way.
    void setBatchExpiredSaves(bool on) { m_batchExpiredSaves = on; }

    // Repeating reminders: their time zone and the report of missed reminders.
    RepeatingReminders& repeats() { return m_repeats; }

private:
    void step();
    bool takeUp(const platform::LocalTime& now);
    bool takeUp(const platform::LocalTime& now, MissedSweep& sweep);
    void expireMissed(const platform::LocalTime& now, MissedSweep& sweep);
    void settle(const platform::LocalTime& now);
    void settleFinished(const platform::LocalTime& now);
    void settleRescheduled();

    Store& m_store;
    const platform::Clock& m_clock;
    platform::MessageBoxes& m_boxes;
    Activation& m_activation;
    HandBack& m_handBack;
    bool m_batchExpiredSaves = true;
    RepeatingReminders m_repeats{m_store, m_boxes};
};

} // namespace tw
