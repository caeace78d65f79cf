// The hand-off from the monitor to the displays and the hand-back from them. The monitor takes a due
// reminder into CurrentReminder and calls Viz_Rem; the display that shows it reports through
// HandBack, which alone writes MonitorState, IconFlashing and, when a display ends, the fields of
// CurrentReminder that the end changes.
#pragma once

#include <string_view>

#include "store/Store.h"

namespace tw {

class Activation {
public:
    virtual ~Activation() = default;
    virtual void Viz_Rem(ReminderRecord& record) = 0;
};

// The three ways of showing a reminder.
enum class Display { TitleBar, PopUp, IconFlash };

// Told whenever a display has ended, whichever display ended it. The tray stops Flash_Timer here,
// so that a flash the pop-up ended early cannot later end whatever reminder is current by then.
class DisplayEndListener {
public:
    virtual ~DisplayEndListener() = default;
    virtual void displayEnded() = 0;
};

class HandBack {
public:
    explicit HandBack(Store& store) : m_store(store) {}
    HandBack(const HandBack&) = delete;
    HandBack& operator=(const HandBack&) = delete;

    // Set once, by the engine's wiring.
    void setEndListener(DisplayEndListener* listener) { m_listener = listener; }

    // A display has started showing CurrentReminder; the icon flash also sets IconFlashing.
    void displayStarted(Display display) {
        if (display == Display::IconFlash)
            m_store.IconFlashing = true;
        m_store.MonitorState = MonitorShowing;
    }
    // No display could start: the monitor is idle again and CurrentReminder is as it was.
    void displayNotShown() { m_store.MonitorState = MonitorIdle; }
    // The display has ended and the reminder is finished: only its RemDate changes, to 0.0.
    void displayFinished() {
        m_store.CurrentReminder.RemDate = 0.0;
        ended();
    }
    // The display has ended with "Repeat in": the reminder's new date, time and note (ANSI).
    void displayRescheduled(double date, double time, std::string_view note) {
        ReminderRecord& r = m_store.CurrentReminder;
        r.RemDate = date;
        r.RemTime = time;
        SetNote(r, note);
        ended();
    }
    // The monitor has settled the ended display (dropped or put back the reminder).
    void settled() { m_store.MonitorState = MonitorIdle; }

private:
    void ended() {
        m_store.IconFlashing = false; // only one reminder is ever on show
        m_store.MonitorState = MonitorDone;
        if (m_listener != nullptr)
            m_listener->displayEnded();
        m_store.NotifyChanged(); // the monitor settles the reminder in its next step
    }

    Store& m_store;
    DisplayEndListener* m_listener = nullptr;
};

} // namespace tw
