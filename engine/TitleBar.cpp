// The title-bar display's steps: scroll-in of the note from the right, blink, and the restore of the
// window's own title. Every pause and every yield to the event loop goes through the event pump.
#include "engine/TitleBar.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "store/LineBreaks.h"

namespace tw {

namespace {

constexpr int MaxTitle = TitleBar::TitleBufferSize - 1; // 255 characters
constexpr int MaxNoteShown = 253;
constexpr int ScrollStart = 254;
constexpr int ScrollPauseMs = 40;
constexpr int BlinkRounds = 4;
constexpr int BlinkWrites = 11;
constexpr int BlinkOnMs = 81;
constexpr int BlinkOffMs = 50;
constexpr int FinalWaits = 101;
constexpr int FinalWaitMs = 10;
// Steady pauses that fall further behind than this (the program was busy, a modal box was open)
// start a new schedule instead of catching up with a burst of steps.
constexpr std::int64_t MaxLagNs = 100'000'000;

// Copies a null-terminated text into a title buffer, cut to 255 characters.
void copyTitle(char* dest, const char* src) {
    const std::size_t n = std::min<std::size_t>(std::strlen(src), MaxTitle);
    std::memcpy(dest, src, n);
    dest[n] = 0;
}

} // namespace

TitleBar::TitleBar(Services& services, HandBack& handBack, Pauses pauses) : m_services(services), m_handBack(handBack) {
    if (pauses == Pauses::Steady) {
        m_nowNs = [] {
            return std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
}

void TitleBar::pause(int ms) {
    if (!m_nowNs) {
        m_services.pump.sleep(ms);
        return;
    }
    const std::int64_t now = m_nowNs();
    const std::int64_t step = static_cast<std::int64_t>(ms) * 1'000'000;
    if (m_deadlineNs == 0 || now > m_deadlineNs + MaxLagNs)
        m_deadlineNs = now + step;
    else
        m_deadlineNs += step;
    // Rounded to the nearest millisecond; the schedule keeps the remainder for the next pause.
    const std::int64_t waitMs = (m_deadlineNs - now + 500'000) / 1'000'000;
    if (waitMs > 0)
        m_services.pump.sleep(static_cast<int>(waitMs));
}

bool TitleBar::IsTitleWindow(platform::WindowId window) {
    platform::ForeignWindows& windows = m_services.windows;
    if (!window)
        return false;
    if (!windows.isVisible(window) || windows.owner(window) != 0)
        return false;
    char title[TitleBufferSize];
    return windows.getTitle(window, title, TitleBufferSize) > 0;
}

void TitleBar::PadWithBlanks(char* buffer) {
    std::size_t n = std::strlen(buffer);
    while (n < static_cast<std::size_t>(MaxTitle)) {
        buffer[n++] = ' ';
        m_services.pump.processMessages();
    }
    buffer[MaxTitle] = 0;
}

void TitleBar::RestoreTitle() {
    platform::ForeignWindows& windows = m_services.windows;
    if (TitleRestoreWindow) {
        if (m_snapshot)
            windows.restoreTitle(TitleRestoreWindow, *m_snapshot);
        else
            windows.setTitle(TitleRestoreWindow, SavedTitle);
    }
    TitleModified = false;
    // The shell restores while it closes; a display still running must not write over it.
    if (m_running)
        m_cancelled = true;
}

void TitleBar::ShowInTitleBar(ReminderRecord& record) {
    // The monitor starts no activation while one is showing; anything else calling in from inside
    // the display's message processing is ignored rather than let two displays share one title.
    if (m_running)
        return;
    m_running = true;
    m_cancelled = false;
    m_deadlineNs = 0;
    run(record);
    m_running = false;
    m_cancelled = false;
}

void TitleBar::saveTitle(const char* title) {
    copyTitle(SavedTitle, title);
    m_snapshot = m_services.windows.snapshotTitle(TitleWindow);
}

TitleBar::Step TitleBar::pump() {
    m_services.pump.processMessages();
    return m_cancelled ? Step::Stop : Step::Go;
}

// An early stop hands the reminder back as shown, with the window's own title put back, so that the
// monitor drops it and goes on to the next reminder instead of waiting for ever.
void TitleBar::stopEarly() {
    if (!m_cancelled && TitleModified)
        RestoreTitle();
    TitleModified = false;
    m_handBack.displayFinished();
}

void TitleBar::run(ReminderRecord& record) {
    const platform::WindowId w = m_services.windows.foregroundWindow();
    TitleWindow = w;
    TitleRestoreWindow = w;
    if (!IsTitleWindow(w)) {
        m_handBack.displayNotShown();
        return;
    }
    platform::ForeignWindows& windows = m_services.windows;

    if (record.Beep != 0)
        m_services.beeper.beep();
    m_handBack.displayStarted(Display::TitleBar);

    char title[TitleBufferSize];
    windows.getTitle(w, title, TitleBufferSize);
    saveTitle(title);
    TitleModified = true;

    // O: the window's own title as last read; T: the moving text; D: the note text.
    char O[TitleBufferSize];
    char T[TitleBufferSize];
    if (windows.getTitle(w, O, TitleBufferSize) == 0)
        return stopEarly();
    const int L = windows.getTitleLength(w);
    if (L == 0)
        return stopEarly();
    int Lb = L;
    int Ls = L;

    std::string note = OneLineNote(NoteText(record));
    if (note.size() > static_cast<std::size_t>(MaxNoteShown))
        note.resize(MaxNoteShown);
    const std::string D = " " + note;
    const int m = static_cast<int>(D.size());

    if (windows.getTitle(w, O, TitleBufferSize) == 0)
        return stopEarly();
    // The program may have changed its title between the first reads; keep the one we show.
    if (std::strcmp(O, SavedTitle) != 0)
        saveTitle(O);
    copyTitle(T, O);
    PadWithBlanks(T);
    if (m_cancelled)
        return stopEarly();

    if (L + 2 <= ScrollStart) {
        for (int p = ScrollStart; p >= L + 2; --p) {
            if (p < Lb + 2)
                break;
            if (pump() == Step::Stop)
                return stopEarly();
            pause(ScrollPauseMs);
            const int Lnow = windows.getTitleLength(w);
            if (Lnow == 0)
                return stopEarly();
            if (Lnow != Ls) {
                // The window's program has set a new title: carry on with it, and restore it.
                if (pump() == Step::Stop)
                    return stopEarly();
                Ls = Lnow;
                Lb = Lnow;
                if (windows.getTitle(w, O, TitleBufferSize) == 0)
                    return stopEarly();
                copyTitle(T, O);
                PadWithBlanks(T);
                if (m_cancelled)
                    return stopEarly();
                saveTitle(O);
            }
            if (p + m <= MaxNoteShown) {
                std::memcpy(T + p, D.data(), D.size());
                T[p + m] = 0;
            }
            if (!windows.setTitle(w, T))
                return stopEarly();
            Ls = windows.getTitleLength(w);
            if (Ls == 0)
                return stopEarly();
        }
    }

    std::string blinkText = std::string(O) + D;
    if (blinkText.size() > static_cast<std::size_t>(MaxTitle))
        blinkText.resize(MaxTitle);
    const char* B = blinkText.c_str();

    for (int round = 0; round < BlinkRounds; ++round) {
        if (pump() == Step::Stop)
            return stopEarly();
        for (int i = 0; i < BlinkWrites; ++i) {
            if (pump() == Step::Stop)
                return stopEarly();
            windows.setTitle(w, B);
            pause(BlinkOnMs);
        }
        for (int i = 0; i < BlinkWrites; ++i) {
            if (pump() == Step::Stop)
                return stopEarly();
            windows.setTitle(w, O);
            pause(BlinkOffMs);
        }
    }
    windows.setTitle(w, B);
    for (int i = 0; i < FinalWaits; ++i) {
        if (pump() == Step::Stop)
            return stopEarly();
        pause(FinalWaitMs);
    }

    // The window's exact own title, as last read: the snapshot matches O.
    if (m_snapshot)
        windows.restoreTitle(w, *m_snapshot);
    else
        windows.setTitle(w, O);
    TitleModified = false;
    m_handBack.displayFinished();
}

} // namespace tw
