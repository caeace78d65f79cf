// The title-bar display: a title-kind reminder's note slides into the title of the window in front,
// blinks there, and the window gets its own title back. The display runs inside ShowInTitleBar and
// yields to the event loop between its steps, so the rest of the program keeps working meanwhile.
// It keeps the window's exact title (a platform snapshot) so that the window is given back what it
// had, not a copy made lossy by the ANSI code page.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/Activation.h"
#include "platform/ForeignWindows.h"
#include "store/ReminderRecord.h"
#include "store/Services.h"

namespace tw {

class TitleBar {
public:
    // The size of every title buffer: up to 255 characters and a terminating null.
    static constexpr int TitleBufferSize = 256;

    // AsRequested pauses for exactly the times of the display's steps. Steady keeps the pauses to a
    // schedule: each is shortened by the time the work since the previous one took (reading and
    // writing titles, processing messages), so the display lasts its nominal time on a busy desktop
    // too. The program uses Steady; tests that count pauses use AsRequested.
    enum class Pauses { AsRequested, Steady };

    TitleBar(Services& services, HandBack& handBack, Pauses pauses = Pauses::AsRequested);
    TitleBar(const TitleBar&) = delete;
    TitleBar& operator=(const TitleBar&) = delete;

    // Shows the note of record (CurrentReminder) in the title of the window in front and returns when
    // the display is over. It hands the reminder back as not shown when no suitable window was in
    // front (nothing happened), otherwise as finished (also after an early stop).
    void ShowInTitleBar(ReminderRecord& record);
    // Visible, without owner window, and with a non-empty title.
    bool IsTitleWindow(platform::WindowId window);
    // Extends the null-terminated text in a TitleBufferSize buffer with blanks to 255 characters,
    // processing pending messages once for every blank added.
    void PadWithBlanks(char* buffer);
    // Gives TitleRestoreWindow its saved title back. The shell calls it at close while TitleModified;
    // called while a display runs (from inside its message processing) it also ends that display.
    void RestoreTitle();

    // Steady pauses measured with this monotonic clock (nanoseconds) instead of the system's.
    void setPacingClock(std::function<std::int64_t()> nowNs) { m_nowNs = std::move(nowNs); }

    platform::WindowId TitleWindow = 0;
    platform::WindowId TitleRestoreWindow = 0;
    bool TitleModified = false;
    char SavedTitle[TitleBufferSize] = {};

private:
    enum class Step { Go, Stop };

    void run(ReminderRecord& record);
    // Reads the window's title into SavedTitle and keeps its exact snapshot for the restore.
    void saveTitle(const char* title);
    // Processes pending messages; Stop when RestoreTitle ended the display meanwhile.
    Step pump();
    void stopEarly();
    void pause(int ms);

    Services& m_services;
    HandBack& m_handBack;
    std::unique_ptr<platform::TitleSnapshot> m_snapshot;
    bool m_running = false;
    bool m_cancelled = false;
    std::function<std::int64_t()> m_nowNs; // empty: pauses as requested
    std::int64_t m_deadlineNs = 0;         // end of the latest scheduled pause; 0 before the first
};

} // namespace tw
