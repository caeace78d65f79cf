// Times the whole title-bar display on X11 with the program's real back ends (Qt's event pump and
// sleep, the X11 windows) on a window of another process with a 30-character title. The pauses
// add up to 15694 ms (223 x 40 ms of scroll-in, 5764 ms of blink, 1010 ms at the end); this prints
// what the display really took, what the pauses really took, and the time spent between them, with
// the pauses as requested and with the steady pauses the program uses.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/TitleBar.h"
#include "platform/Cp1252.h"
#include "platform/posix/PosixClock.h"
#include "platform/qt/QtBackends.h"
#include "platform/x11/X11Windows.h"
#include "store/DateFormat.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"

namespace {

constexpr int NominalMs = 15694;

class SilentBeeper : public tw::platform::Beeper {
public:
    void beep() override {}
};

// The program's pump, with the time of every pause measured.
class TimedPump : public tw::platform::EventPump {
public:
    long long requestedMs = 0;
    qint64 sleptNs = 0;
    qint64 worstOvershootNs = 0;
    int pauses = 0;
    void processMessages() override { m_pump.processMessages(); }
    void sleep(int ms) override {
        QElapsedTimer t;
        t.start();
        m_pump.sleep(ms);
        const qint64 ns = t.nsecsElapsed();
        sleptNs += ns;
        requestedMs += ms;
        worstOvershootNs = std::max(worstOvershootNs, ns - ms * 1000000LL);
        ++pauses;
    }

private:
    tw::platform::QtEventPump m_pump;
};

bool waitForeground(tw::platform::ForeignWindows& windows, tw::platform::WindowId w) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        if (windows.foregroundWindow() == w)
            return true;
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    tw::platform::Cp1252 codePage;
    auto windows = tw::platform::CreateX11Windows(codePage);
    if (!windows->reachable()) {
        std::fprintf(stderr, "bench_titlebar: needs an X11 display\n");
        return 1;
    }
    const std::string title = "Quarterly report - Spreadsheet"; // 30 characters
    QProcess foreign;
    foreign.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    foreign.start(QStringLiteral(FOREIGN_WINDOW), {QStringLiteral("--title"), QString::fromStdString(title)});
    if (!foreign.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_titlebar: the window did not start\n");
        return 1;
    }
    const tw::platform::WindowId w = foreign.readLine().split(' ').value(1).trimmed().toULongLong();
    if (!waitForeground(*windows, w)) {
        std::fprintf(stderr, "bench_titlebar: the window did not come to the front\n");
        return 1;
    }

    tw::fake::FakeFileSystem files;
    tw::Store store(files);
    tw::platform::PosixClock clock;
    tw::EnglishLocale locale;
    tw::fake::RecordingMessageBoxes boxes;
    SilentBeeper beeper;
    tw::fake::RecordingHelp help;
    std::printf("title of %zu characters; nominal pauses 15694 ms\n", title.size());
    std::printf("%-12s %-4s %10s %10s %8s %10s %9s %12s\n", "pauses", "run", "total ms", "pauses ms", "pauses",
                "between ms", "drift %", "worst +ms");
    int status = 0;
    for (int n = 0; n < 2 * runs; ++n) {
        const bool steady = n % 2 == 1;
        const int run = n / 2 + 1;
        TimedPump pump;
        tw::Services services{store, clock, locale, codePage, boxes, beeper, pump, help, *windows};
        tw::HandBack handBack(store);
        tw::TitleBar bar(services, handBack, steady ? tw::TitleBar::Pauses::Steady : tw::TitleBar::Pauses::AsRequested);
        tw::ReminderRecord& r = store.CurrentReminder;
        tw::ClearRecord(r);
        r.Kind = tw::KindTitle;
        r.RemDate = 46000.0;
        tw::SetNote(r, "Send the figures to the team before noon");
        store.MonitorState = tw::MonitorIdle;
        QElapsedTimer t;
        t.start();
        bar.ShowInTitleBar(r);
        const double totalMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        const double pausesMs = static_cast<double>(pump.sleptNs) / 1e6;
        const double drift = (totalMs - NominalMs) * 100.0 / NominalMs;
        std::printf("%-12s %-4d %10.1f %10.1f %8d %10.1f %9.2f %12.3f\n", steady ? "steady" : "as requested", run,
                    totalMs, pausesMs, pump.pauses, totalMs - pausesMs, drift,
                    static_cast<double>(pump.worstOvershootNs) / 1e6);
        if (store.MonitorState != tw::MonitorDone || (!steady && pump.requestedMs != NominalMs)) {
            std::fprintf(stderr, "bench_titlebar: the display did not run to its end\n");
            status = 1;
        }
    }
    foreign.terminate();
    foreign.waitForFinished(3000);
    return status;
}
