// The user activity log without windows: the tree of day roots and their entries, and the sampler
// that counts, once per arming, one second towards the foreground top-level window and its title.
// The log window (ActivityLogWindow.h) shows this tree and drives the sampler from its timers; tests drive it with
// the fake clock, fake windows and a recording pump.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ForeignWindows.h"
#include "store/Services.h"

namespace tw {

inline constexpr int DayRootImage = 1; // a yellow folder
inline constexpr int EntryImage = 3;   // a small window
inline constexpr int TitleBufferSize = 255;
inline constexpr std::size_t MaxNodeText = 255;
inline constexpr std::string_view StartInText = "     Start in: ";
inline constexpr std::string_view EntrySeparator = "    ";

// One window and title of a day. Texts are bytes of the ANSI code page.
struct ActivityEntry {
    platform::WindowId Window = 0; // 0 for an entry read back from a file: never counted into
    double Elapsed = 0;            // counted time as a fraction of a day
    std::string Title;             // at most 254 bytes
};

struct ActivityNode {
    std::string text; // elapsed time, four blanks, title
    ActivityEntry entry;
};

struct DayRoot {
    std::string text;     // date, "     Start in: ", time
    std::string dateText; // the two parts, kept apart for saving
    std::string timeText;
    std::vector<ActivityNode> children;
};

// The locale-aware, case-insensitive comparison of two ANSI texts: <0, 0 or >0.
class TextCollation {
public:
    virtual ~TextCollation() = default;
    virtual int compare(std::string_view a, std::string_view b) const = 0;
};

// Byte order with ASCII letters folded to lower case: the comparison where no locale is wanted.
class AsciiNoCaseCollation : public TextCollation {
public:
    int compare(std::string_view a, std::string_view b) const override;
};

// The log window's 10 ms sampling timer as the sampler sees it: one sample per arming.
class SampleTimer {
public:
    virtual ~SampleTimer() = default;
    virtual void disable() = 0;
};

// Told of every change to the tree so that a view can follow it.
class ActivityLogListener {
public:
    virtual ~ActivityLogListener() = default;
    virtual void logCleared() = 0;
    virtual void rootAdded(int root) = 0;
    // Children of root were added, re-ordered or got new texts.
    virtual void childrenChanged(int root) = 0;
};

// Cuts an ANSI text to n bytes.
std::string CutText(std::string text, std::size_t n);

class ActivityLog {
public:
    ActivityLog(Services& services, const TextCollation& collation, SampleTimer& timer);
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    // "Enable Log User Activity"; read by Clear_All_Records.
    bool ActivityLogEnabled = false;
    // The day of the current day root (whole day-count value); 0 before the first root.
    double LogDay = 0;
    // Index of the current day root, always the last one added; -1 with an empty tree.
    int CurrentDayNode = -1;
    // The top-level window found by the latest sample.
    platform::WindowId SampledWindow = 0;

    // One sample; called by the sampling timer only. Returns at once, leaving the timer armed, while
    // a reminder is on show or while another sample is still under way (it yields to the event
    // loop, whose timers may call here again).
    void hwn_TimerS();
    // Empties the log; with logging on, starts a new day root at once.
    void Clear_All_Records();

    // The interval of the one-second arming timer; each sample counts it, rounded to seconds.
    void setArmIntervalMs(int ms) { m_armIntervalMs = ms; }
    bool sampling() const { return m_sampling; }
    void setListener(ActivityLogListener* listener) { m_listener = listener; }

    const std::vector<DayRoot>& roots() const { return m_roots; }
    // Appends day roots read back from a file (before any sample), with their entries as given.
    void appendRoots(std::vector<DayRoot> roots);
    // Sorts the children of every root with CompareEntryText.
    void sortAll();

    // Today's date in the short date format and the present time in the long time format, as ANSI
    // bytes cut to 255.
    std::string CurrentDateText() const;
    std::string CurrentTimeText() const;
    // The sibling order: the negated collation of the two texts, so siblings stand in descending order.
    int CompareEntryText(const ActivityNode& a, const ActivityNode& b) const;
    // An entry's text for an elapsed time and a title, in the long time format.
    std::string EntryText(double elapsed, const std::string& title) const;

private:
    void addDayRoot();
    void sortChildren(int root);
    bool yield();

    Services& m_services;
    const TextCollation& m_collation;
    SampleTimer& m_timer;
    ActivityLogListener* m_listener = nullptr;
    std::vector<DayRoot> m_roots;
    int m_armIntervalMs = 1000;
    bool m_sampling = false;
    // Bumped whenever the tree is emptied, so that a sample that yielded meanwhile gives up.
    std::uint64_t m_generation = 0;
};

} // namespace tw
