// Randomized: arbitrary bytes as "rd.dt" and "re.dt", then many monitor steps on a clock that moves
// in steps, jumps and goes back, with displays, edits, deletes and failing files mixed in. Checks
// that nothing faults (this runs under the sanitizers), that nothing not due or not a date is
// shown, that the monitor never stays blocked, and that the files still round-trip afterwards.
// TELLWICK_RANDOM_SEED=<n> repeats one round.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>

#include "StoreTestSupport.h"
#include "platform/Cp1252.h"
#include "store/DateFormat.h"
#include "store/IoError.h"

using namespace tw;
using namespace tw::testing;

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_gen(seed) {}
    int below(int n) { return static_cast<int>(m_gen() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    std::uint8_t byte() { return static_cast<std::uint8_t>(m_gen()); }
    double anyDouble() {
        const std::uint64_t bits = m_gen();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    // A day-count value: mostly near base, sometimes one of the values damaged files hold.
    double dayValue(double base) {
        switch (below(12)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return below(2) ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
        case 2:
            return below(2) ? 1e300 : -1e300;
        case 3:
            return anyDouble();
        case 4:
            return 0.0;
        case 5:
            return std::numeric_limits<double>::denorm_min();
        default:
            return base + below(5) - 2 + below(1440) / 1440.0 + (below(2) ? 0.3 / 86'400'000.0 : 0.0);
        }
    }

private:
    std::mt19937_64 m_gen;
};

// A file of n records: random bytes, or records that look like the program's own with damage.
std::vector<std::uint8_t> RandomFile(Random& rnd, double today) {
    const int shape = rnd.below(10);
    std::size_t records = static_cast<std::size_t>(rnd.below(12));
    if (shape == 0)
        records = static_cast<std::size_t>(rnd.below(1000) + 1);
    std::vector<std::uint8_t> bytes(records * RecordSize + (rnd.chance(30) ? rnd.below(288) : 0));
    if (shape <= 2) {
        for (auto& b : bytes)
            b = rnd.byte();
        return bytes;
    }
    for (std::size_t i = 0; i < records; ++i) {
        ReminderRecord r{};
        const int kinds[] = {KindTitle, KindIcon, KindPopUp, KindPopUp, 0, 2, -1, 1000000};
        r.Kind = kinds[rnd.below(8)];
        r.Beep = rnd.chance(50) ? rnd.byte() : 0;
        r.Flag = rnd.chance(10) ? rnd.byte() : 0;
        r.RemDate = rnd.dayValue(today);
        r.RemTime = rnd.chance(80) ? rnd.below(1440) / 1440.0 : rnd.dayValue(0);
        r.Note[0] = rnd.chance(20) ? rnd.byte() : static_cast<std::uint8_t>(rnd.below(8));
        for (int k = 1; k < 256; ++k)
            r.Note[k] = rnd.chance(90) ? static_cast<std::uint8_t>('a' + rnd.below(26)) : rnd.byte();
        if (rnd.chance(5))
            r = ReminderRecord{}; // blank
        std::memcpy(bytes.data() + i * RecordSize, &r, RecordSize);
    }
    return bytes;
}

// Displays that behave as the real ones may, chosen at random: runs to the end, cannot start, or
// starts and ends later with a dismiss, a snooze to any time (also one already past) or a damaged one.
class RandomActivation : public Activation {
public:
    RandomActivation(Store& store, Random& rnd) : m_store(store), m_handBack(store), m_rnd(rnd) {}
    std::vector<std::pair<ReminderRecord, platform::LocalTime>> shown;
    const platform::Clock* clock = nullptr;

    void Viz_Rem(ReminderRecord& record) override {
        shown.emplace_back(record, clock->now());
        if (record.Kind == KindTitle) {
            if (m_rnd.chance(20))
                return m_handBack.displayNotShown(); // no window to write into
            m_handBack.displayStarted(Display::TitleBar);
            m_handBack.displayFinished();
        } else if (record.Kind == KindPopUp || record.Kind == KindIcon) {
            m_handBack.displayStarted(record.Kind == KindPopUp ? Display::PopUp : Display::IconFlash);
        }
    }

    // Ends a display that is under way, sometimes.
    void maybeEnd(double now) {
        if (m_store.MonitorState != MonitorShowing || !m_rnd.chance(30))
            return;
        if (m_rnd.chance(40)) {
            m_handBack.displayFinished();
        } else {
            const double next = m_rnd.chance(85) ? now + (m_rnd.below(200) - 20) / 1440.0 : m_rnd.dayValue(now);
            m_handBack.displayRescheduled(next, next, "snoozed");
        }
        if (m_rnd.chance(70))
            GuardIo(m_boxes, [&] { m_store.SaveActive(); });
    }

private:
    Store& m_store;
    HandBack m_handBack;
    Random& m_rnd;
    fake::RecordingMessageBoxes m_boxes;
};

void RunRound(std::uint64_t seed) {
    SCOPED_TRACE("TELLWICK_RANDOM_SEED=" + std::to_string(seed));
    Random rnd(seed);
    fake::FakeFileSystem files;
    fake::FakeClock clock;
    fake::RecordingMessageBoxes boxes;
    Store store(files);
    RandomActivation activation(store, rnd);
    activation.clock = &clock;
    HandBack handBack(store);
    Monitor monitor(store, clock, boxes, activation, handBack);
    monitor.setBatchExpiredSaves(rnd.chance(50));
    const EnglishLocale english;
    const platform::Cp1252 codePage;

    clock.set(2026, 1 + rnd.below(12), 1 + rnd.below(28), rnd.below(24), rnd.below(60), rnd.below(60));
    const double today = ToDayCount(clock.now());
    files.files[ActiveFileName] = RandomFile(rnd, today);
    files.files[ExpiredFileName] = RandomFile(rnd, today);
    if (rnd.chance(10))
        files.readStopsAt[ActiveFileName] = static_cast<std::size_t>(rnd.below(3000));
    GuardIo(boxes, [&] { store.LoadActive(); });
    GuardIo(boxes, [&] { store.LoadExpired(); });
    if (rnd.chance(50))
        store.SortActive();

    const int steps = 100 + rnd.below(150);
    for (int step = 0; step < steps; ++step) {
        // The clock: mostly a second on, now and then minutes, hours or a day, or back.
        const int move = rnd.below(100);
        long long ms = 1000;
        if (move < 10)
            ms = 60'000LL * rnd.below(30);
        else if (move < 13)
            ms = 3'600'000LL * rnd.below(30);
        else if (move < 15)
            ms = -3'600'000LL * rnd.below(3);
        clock.advanceMs(ms);

        if (rnd.chance(3))
            store.RemindersEnabled = !store.RemindersEnabled;
        if (rnd.chance(2))
            files.writeError[rnd.chance(50) ? ActiveFileName : ExpiredFileName] =
                rnd.chance(50) ? IoCode::DiskFull : IoCode::AccessDenied;
        if (rnd.chance(4))
            files.writeError.clear();
        // The list's edit and delete, and the editor's new reminders.
        if (!store.EditInProgress && store.ActiveCount > 0 && rnd.chance(3)) {
            store.BeginEdit(TableId::Active, store.ActiveCount - 1);
        } else if (store.EditInProgress && rnd.chance(20)) {
            GuardIo(boxes, [&] { store.CancelEdit(); });
        }
        if (store.ExpiredCount > 0 && rnd.chance(3))
            store.Del_Rem(TableId::Expired, rnd.below(store.ExpiredCount));
        if (rnd.chance(3))
            store.InsertActive(PopUp(ToDayCount(clock.now()) + rnd.below(30) / 1440.0,
                                     ToDayCount(clock.now()) + rnd.below(30) / 1440.0, "new"));

        activation.maybeEnd(ToDayCount(clock.now()));
        const bool mustSettle = store.MonitorState == MonitorDone && store.RemindersEnabled && !store.EditInProgress;
        const std::size_t shownBefore = activation.shown.size();
        monitor.Mon_Rem();

        ASSERT_GE(store.ActiveCount, 0);
        ASSERT_LE(store.ActiveCount, MaxReminders);
        ASSERT_GE(store.ExpiredCount, 0);
        ASSERT_LE(store.ExpiredCount, MaxReminders);
        ASSERT_TRUE(store.MonitorState >= MonitorIdle && store.MonitorState <= MonitorDone);
        if (mustSettle && activation.shown.size() == shownBefore) {
            ASSERT_EQ(store.MonitorState, MonitorIdle) << "the monitor stayed blocked at step " << step;
        }
        for (std::size_t i = shownBefore; i < activation.shown.size(); ++i) {
            const auto& [r, when] = activation.shown[i];
            ASSERT_TRUE(Showable(r)) << "a damaged record was shown at step " << step;
            ASSERT_TRUE(IsDueNow(r, when)) << "a record not due was shown at step " << step;
        }
    }

    // What the list and tooltips show of every record, and the note's text, must not fault.
    const char* patterns[] = {"dd/mmm/yy", "hh:nn", "mmmm dd yyyy", "h:mm", "dd/mm/yy", "hh:nn:ss"};
    for (int i = 0; i < store.ActiveCount + store.ExpiredCount; ++i) {
        const ReminderRecord& r =
            i < store.ActiveCount ? store.ActiveTable[i] : store.ExpiredTable[i - store.ActiveCount];
        for (const char* p : patterns) {
            ASSERT_FALSE(FormatDateTime(p, r.RemDate, english).empty());
            ASSERT_FALSE(FormatDateTime(p, r.RemTime, english).empty());
        }
        const std::string note = NoteText(r);
        ASSERT_EQ(codePage.fromUtf8(codePage.toUtf8(note)), note);
    }

    // Whatever happened, the tables still save and load back byte for byte.
    files.writeError.clear();
    files.readStopsAt.clear();
    store.SaveActive();
    store.SaveExpired();
    Store again(files);
    again.LoadActive();
    again.LoadExpired();
    ASSERT_EQ(again.ActiveCount, store.ActiveCount);
    ASSERT_EQ(again.ExpiredCount, store.ExpiredCount);
    for (int i = 0; i < store.ActiveCount; ++i)
        ASSERT_EQ(0, std::memcmp(&again.ActiveTable[i], &store.ActiveTable[i], RecordSize));
    for (int i = 0; i < store.ExpiredCount; ++i)
        ASSERT_EQ(0, std::memcmp(&again.ExpiredTable[i], &store.ExpiredTable[i], RecordSize));
}

} // namespace

TEST(RandomFiles, ArbitraryFilesThroughManyMonitorSteps) {
    if (const char* s = std::getenv("TELLWICK_RANDOM_SEED")) {
        RunRound(std::strtoull(s, nullptr, 10));
        return;
    }
    for (std::uint64_t seed = 1; seed <= 120; ++seed) {
        RunRound(seed);
        if (HasFatalFailure())
            return;
    }
}
