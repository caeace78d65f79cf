// Helpers shared by the store and monitor tests: building records, reading file images, and a
// scripted activation that sets MonitorState and CurrentReminder as each display would.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "engine/Activation.h"
#include "engine/Monitor.h"
#include "store/DayCount.h"
#include "store/Store.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingMessageBoxes.h"

namespace tw::testing {

inline double Day(int y, int m, int d) {
    return EncodeDate(y, m, d).value();
}

inline double At(int h, int mi, int s = 0) {
    return EncodeTime(h, mi, s, 0);
}

inline ReminderRecord Make(int kind, bool beep, double date, double time, std::string_view note) {
    ReminderRecord r{};
    r.Kind = kind;
    r.Beep = beep ? 1 : 0;
    r.RemDate = date;
    r.RemTime = time;
    SetNote(r, note);
    return r;
}

// A pop-up reminder for the given day and time, the note naming it.
inline ReminderRecord PopUp(double date, double time, std::string_view note = "") {
    return Make(KindPopUp, false, date, time, note);
}

inline std::vector<std::uint8_t> Image(const ReminderRecord& r) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(&r);
    return std::vector<std::uint8_t>(b, b + RecordSize);
}

// The records held in a file image (whole records only).
inline std::vector<ReminderRecord> Records(const std::vector<std::uint8_t>& bytes) {
    std::vector<ReminderRecord> out(bytes.size() / RecordSize);
    for (std::size_t i = 0; i < out.size(); ++i)
        std::memcpy(&out[i], bytes.data() + i * RecordSize, RecordSize);
    return out;
}

inline std::vector<std::uint8_t> FileOf(const std::vector<ReminderRecord>& records) {
    std::vector<std::uint8_t> out;
    for (const auto& r : records) {
        const auto img = Image(r);
        out.insert(out.end(), img.begin(), img.end());
    }
    return out;
}

// Behaves as the displays do, through the program's hand-back: a title-bar display runs to its end
// inside Viz_Rem (or finds no window and is not shown), the pop-up and the icon flash start and
// report later, and a record of any other kind is not shown at all.
class ScriptedActivation : public Activation {
public:
    explicit ScriptedActivation(Store& store) : m_store(store), m_handBack(store) {}

    std::vector<ReminderRecord> shown; // every record handed to Viz_Rem, in order
    bool titleFindsWindow = true;

    void Viz_Rem(ReminderRecord& record) override {
        shown.push_back(record);
        switch (record.Kind) {
        case KindTitle:
            if (!titleFindsWindow) {
                m_handBack.displayNotShown();
                return;
            }
            m_handBack.displayStarted(Display::TitleBar);
            m_handBack.displayFinished();
            return;
        case KindPopUp:
            m_handBack.displayStarted(Display::PopUp);
            return;
        case KindIcon:
            m_handBack.displayStarted(Display::IconFlash);
            return;
        default:
            return;
        }
    }

    // The pop-up's "Dismiss": the display has ended, "rd.dt" is written.
    void dismiss() {
        m_handBack.displayFinished();
        m_store.SaveActive();
    }

    // The pop-up's "Repeat in": a new date and time, "rd.dt" written while the reminder is out of
    // the table.
    void repeatAt(double date, double time) {
        m_handBack.displayRescheduled(date, time, NoteText(m_store.CurrentReminder));
        m_store.SaveActive();
    }

    // The end of an icon flash: the reminder is finished.
    void endFlash() { m_handBack.displayFinished(); }

private:
    Store& m_store;
    HandBack m_handBack;
};

// A store on in-memory files, a settable clock, recorded message boxes and a monitor.
struct MonitorRig {
    fake::FakeFileSystem files;
    fake::FakeClock clock;
    fake::RecordingMessageBoxes boxes;
    Store store{files};
    ScriptedActivation activation{store};
    HandBack handBack{store};
    Monitor monitor{store, clock, boxes, activation, handBack};

    void add(const ReminderRecord& r) { ASSERT_EQ(store.InsertActive(r), 0); }
    std::vector<ReminderRecord> activeFile() const { return Records(files.files.at(ActiveFileName)); }
    std::vector<ReminderRecord> expiredFile() const { return Records(files.files.at(ExpiredFileName)); }
};

} // namespace tw::testing
