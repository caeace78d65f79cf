// One activity sample with 2,000 entries in the day: the sort, the search with its two yields per
// entry, and the count. The target is under 20 ms per sample. Measured three ways: the sampler alone
// with the plain comparison, with the locale-aware comparison and real event-loop yields, and in the
// shown log window, whose tree follows every sample.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "../../tests/activity/ActivityFixture.h"
#include "activity/ActivityLog.h"

#ifdef TELLWICK_BENCH_QT
#include <QApplication>
#include <QTreeWidget>

#include "activity/ActivityLogWindow.h"
#include "platform/qt/QtBackends.h"
#endif

using namespace tw;

namespace {

constexpr int Entries = 2000;

// Yields to the real event loop only while measuring: filling the day is then quick.
class SwitchPump : public platform::EventPump {
public:
    platform::EventPump* target = nullptr;
    void processMessages() override {
        if (target)
            target->processMessages();
    }
    void sleep(int ms) override {
        if (target)
            target->sleep(ms);
    }
};

// A day of Entries windows with varied titles and times, each already counted a few seconds.
void FillDay(test::ActivityServices& s, const std::function<void()>& sample) {
    std::vector<platform::WindowId> ids;
    for (int i = 0; i < Entries; ++i)
        ids.push_back(s.windows.add("Document " + std::to_string(i * 7919 % 10007) + " - Some Editor Program"));
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < Entries; ++i) {
            if (round > 0 && i % (round + 1) != 0)
                continue;
            s.windows.foreground = ids[static_cast<std::size_t>(i)];
            sample();
        }
    }
    s.windows.foreground = ids[Entries / 2];
}

void Sample(benchmark::State& state, const TextCollation& collation, platform::EventPump* realPump) {
    test::ActivityServices s;
    SwitchPump pump;
    Services services{s.store, s.clock, s.locale, s.codePage, s.boxes, s.beeper, pump, s.help, s.windows};
    test::FlagTimer timer;
    ActivityLog log(services, collation, timer);
    auto sample = [&] {
        timer.enabled = true;
        log.hwn_TimerS();
    };
    FillDay(s, sample);
    pump.target = realPump ? realPump : &s.pump;
    for (auto _ : state)
        sample();
    state.counters["entries"] = static_cast<double>(log.roots().back().children.size());
}

void BM_SampleAsciiCollation(benchmark::State& state) {
    const AsciiNoCaseCollation collation;
    Sample(state, collation, nullptr);
}
BENCHMARK(BM_SampleAsciiCollation)->Unit(benchmark::kMillisecond);

#ifdef TELLWICK_BENCH_QT
void BM_SampleLocaleCollationQtEvents(benchmark::State& state) {
    const platform::Cp1252 codePage;
    const QtTextCollation collation(codePage);
    platform::QtEventPump pump;
    Sample(state, collation, &pump);
}
BENCHMARK(BM_SampleLocaleCollationQtEvents)->Unit(benchmark::kMillisecond);

// The window as the user sees it: shown, the day expanded, repainted from the yields.
void BM_SampleInShownLogWindow(benchmark::State& state) {
    test::ActivityServices s;
    platform::QtEventPump qtPump;
    SwitchPump pump;
    Services services{s.store, s.clock, s.locale, s.codePage, s.boxes, s.beeper, pump, s.help, s.windows};
    TSysLog window(services);
    window.show();
    auto sample = [&] { window.hwn_TimerS(); };
    FillDay(s, sample);
    pump.target = &qtPump;
    window.treeView()->expandAll();
    QApplication::processEvents();
    for (auto _ : state)
        sample();
    state.counters["entries"] = static_cast<double>(window.log().roots().back().children.size());
}
BENCHMARK(BM_SampleInShownLogWindow)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef TELLWICK_BENCH_QT
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
