// Figures for the store and the monitor: the sort of a full table, putting a rescheduled reminder
// back into 900, an idle monitor step, loading and saving a full table, and the worst step (900
// missed reminders moved to the expired table) with the batched and the per-move "re.dt" write, and
// the same step when all 900 repeat every day (each leaves a copy and moves on to tomorrow).
// Files are real, in a fresh directory below the working directory (set TELLWICK_BENCH_DIR to
// measure another disk), so the durable saves cost what they cost there.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

#include "engine/Activation.h"
#include "engine/Monitor.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixTimeZone.h"
#include "store/DayCount.h"
#include "store/Recurrence.h"
#include "store/Store.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingMessageBoxes.h"

using namespace tw;
namespace fs = std::filesystem;

namespace {

// Pop-ups shown and left open: the benchmarks never get past the hand-off.
class OpenPopUps : public Activation {
public:
    explicit OpenPopUps(Store& s) : m_handBack(s) {}
    void Viz_Rem(ReminderRecord&) override { m_handBack.displayStarted(Display::PopUp); }

private:
    HandBack m_handBack;
};

ReminderRecord Reminder(double date, double time, int i) {
    ReminderRecord r{};
    r.Kind = KindPopUp;
    r.Beep = 1;
    r.RemDate = date;
    r.RemTime = time;
    SetNote(r, "Reminder number " + std::to_string(i) + ": call back about the quarterly figures");
    return r;
}

// n reminders on distinct minutes from the given day on, in random order.
void FillActive(Store& s, int n, double firstDay, unsigned seed = 7) {
    std::vector<int> minutes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        minutes[static_cast<std::size_t>(i)] = i * 37;
    std::shuffle(minutes.begin(), minutes.end(), std::mt19937(seed));
    s.ActiveCount = 0;
    for (int i = 0; i < n; ++i) {
        const int m = minutes[static_cast<std::size_t>(i)];
        s.AppendActive(Reminder(firstDay + m / 1440, (m % 1440) / 1440.0, i));
    }
}

// The directory the file benchmarks work in, made once and removed at exit; the process works in it.
class BenchDir {
public:
    BenchDir() {
        const char* base = std::getenv("TELLWICK_BENCH_DIR");
        std::string pattern = (fs::path(base ? base : ".") / "tellwick-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = fs::absolute(pattern);
        m_previous = fs::current_path();
        fs::current_path(m_path);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::current_path(m_previous, ec);
        fs::remove_all(m_path, ec);
    }

private:
    fs::path m_path, m_previous;
};

BenchDir& Dir() {
    static BenchDir dir;
    return dir;
}

constexpr double Today = 46364.0; // 8 December 2026
const platform::LocalTime Noon{2026, 12, 8, 12, 0, 0, 0};

void BM_SortActiveFullShuffled(benchmark::State& state) {
    fake::FakeFileSystem files;
    auto s = std::make_unique<Store>(files);
    FillActive(*s, MaxReminders, Today);
    auto shuffled = std::make_unique<ReminderTable>(s->ActiveTable);
    for (auto _ : state) {
        state.PauseTiming();
        s->ActiveTable = *shuffled;
        state.ResumeTiming();
        s->SortActive();
        benchmark::DoNotOptimize(s->ActiveTable[0]);
    }
}
BENCHMARK(BM_SortActiveFullShuffled)->Unit(benchmark::kMillisecond);

void BM_SortActiveFullSorted(benchmark::State& state) {
    fake::FakeFileSystem files;
    auto s = std::make_unique<Store>(files);
    FillActive(*s, MaxReminders, Today);
    s->SortActive();
    for (auto _ : state) {
        s->SortActive();
        benchmark::DoNotOptimize(s->ActiveTable[0]);
    }
}
BENCHMARK(BM_SortActiveFullSorted)->Unit(benchmark::kMillisecond);

// InsertActive (which sorts) and the monitor's SortActive after it, into a sorted table of 900.
void BM_ReinsertInto900(benchmark::State& state) {
    fake::FakeFileSystem files;
    auto s = std::make_unique<Store>(files);
    FillActive(*s, 900, Today);
    s->SortActive();
    const ReminderRecord snoozed = Reminder(Today + 11, 0.51, 9999);
    for (auto _ : state) {
        s->InsertActive(snoozed);
        s->SortActive();
        state.PauseTiming();
        for (int i = 0; i < s->ActiveCount; ++i)
            if (s->ActiveTable[i].RemDate == snoozed.RemDate && s->ActiveTable[i].RemTime == snoozed.RemTime) {
                s->Del_Rem(TableId::Active, i);
                break;
            }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReinsertInto900)->Unit(benchmark::kMillisecond);

// The whole settling step of a "Repeat in" into 900, including the durable save of "rd.dt".
void BM_MonitorReinsertInto900WithSave(benchmark::State& state) {
    Dir();
    platform::PosixFileSystem files;
    fake::FakeClock clock(Noon);
    fake::RecordingMessageBoxes boxes;
    auto s = std::make_unique<Store>(files);
    OpenPopUps activation(*s);
    HandBack handBack(*s);
    Monitor monitor(*s, clock, boxes, activation, handBack);
    FillActive(*s, 900, Today + 1);
    s->SortActive();
    const ReminderRecord snoozed = Reminder(Today + 11, 0.51, 9999);
    for (auto _ : state) {
        state.PauseTiming();
        s->CurrentReminder = snoozed;
        s->MonitorState = MonitorDone;
        state.ResumeTiming();
        monitor.Mon_Rem();
        state.PauseTiming();
        for (int i = 0; i < s->ActiveCount; ++i)
            if (s->ActiveTable[i].RemDate == snoozed.RemDate) {
                s->Del_Rem(TableId::Active, i);
                break;
            }
        state.ResumeTiming();
    }
    if (!boxes.shown.empty())
        state.SkipWithError(boxes.shown[0].text.c_str());
}
BENCHMARK(BM_MonitorReinsertInto900WithSave)->Unit(benchmark::kMillisecond)->UseRealTime();

template <class ClockType> void IdleStep(benchmark::State& state, const ClockType& clock) {
    fake::FakeFileSystem files;
    fake::RecordingMessageBoxes boxes;
    auto s = std::make_unique<Store>(files);
    OpenPopUps activation(*s);
    HandBack handBack(*s);
    Monitor monitor(*s, clock, boxes, activation, handBack);
    // Every reminder lies well in the future of any clock this runs on.
    FillActive(*s, 900, ToDayCount(clock.now()) + 400);
    s->SortActive();
    for (auto _ : state)
        monitor.Mon_Rem();
    if (s->ActiveCount != 900 || s->MonitorState != MonitorIdle)
        state.SkipWithError("the idle step changed something");
}

void BM_IdleMonitorStepFakeClock(benchmark::State& state) {
    IdleStep(state, fake::FakeClock(Noon));
}
BENCHMARK(BM_IdleMonitorStepFakeClock);

void BM_IdleMonitorStepLocalClock(benchmark::State& state) {
    IdleStep(state, platform::PosixClock());
}
BENCHMARK(BM_IdleMonitorStepLocalClock);

void BM_SaveFullTable(benchmark::State& state) {
    Dir();
    platform::PosixFileSystem files;
    auto s = std::make_unique<Store>(files);
    FillActive(*s, MaxReminders, Today);
    for (auto _ : state)
        s->SaveActive();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * MaxReminders * 288);
}
BENCHMARK(BM_SaveFullTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadFullTable(benchmark::State& state) {
    Dir();
    platform::PosixFileSystem files;
    auto s = std::make_unique<Store>(files);
    FillActive(*s, MaxReminders, Today);
    s->SaveActive();
    for (auto _ : state) {
        s->LoadActive();
        benchmark::DoNotOptimize(s->ActiveCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * MaxReminders * 288);
}
BENCHMARK(BM_LoadFullTable)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The worst monitor step: the program was off for days, and all 900 reminders are past. One step
// moves them all to the expired table, writing "re.dt" durably once (batched) or once per move.
void CatchUp(benchmark::State& state, bool batched, bool repeating = false) {
    Dir();
    platform::PosixFileSystem files;
    fake::FakeClock clock(Noon);
    fake::RecordingMessageBoxes boxes;
    auto s = std::make_unique<Store>(files);
    OpenPopUps activation(*s);
    HandBack handBack(*s);
    Monitor monitor(*s, clock, boxes, activation, handBack);
    monitor.setBatchExpiredSaves(batched);
    // The session's own time zone, as in the program: each occurrence asks it whether its minute exists.
    platform::PosixTimeZone zone;
    monitor.repeats().setTimeZone(zone);
    FillActive(*s, 900, Today - 40);
    if (repeating)
        for (int i = 0; i < 900; ++i)
            WriteRule(s->ActiveTable[i],
                      RuleAt(Repeat::EveryDay, s->ActiveTable[i].RemDate, s->ActiveTable[i].RemTime));
    s->SortActive();
    auto missed = std::make_unique<ReminderTable>(s->ActiveTable);
    for (auto _ : state) {
        state.PauseTiming();
        s->ActiveTable = *missed;
        s->ActiveCount = 900;
        s->ExpiredCount = 0;
        state.ResumeTiming();
        monitor.Mon_Rem();
        if (s->ExpiredCount != 900 || s->ActiveCount != (repeating ? 900 : 0)) {
            state.SkipWithError("the step did not move every missed reminder");
            break;
        }
    }
    if (!boxes.shown.empty())
        state.SkipWithError(boxes.shown[0].text.c_str());
}

void BM_CatchUp900Batched(benchmark::State& state) {
    CatchUp(state, true);
}
BENCHMARK(BM_CatchUp900Batched)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same step with 900 daily reminders: 900 copies to "re.dt" (written once), 900 series back
// into the active table (one sort) and "rd.dt" written once.
void BM_CatchUp900RepeatingBatched(benchmark::State& state) {
    CatchUp(state, true, true);
}
BENCHMARK(BM_CatchUp900RepeatingBatched)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatchUp900PerMove(benchmark::State& state) {
    CatchUp(state, false);
}
BENCHMARK(BM_CatchUp900PerMove)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
