// The wall-clock alarms on the real clock and the event loop: the Linux timerfd and the Qt timer
// that looks at the clock. Each fires once at its time, at once for a time already past (but never
// inside arm), not at all once disarmed, and the last arming wins.
#include <QElapsedTimer>
#include <QTest>
#include <memory>

#include "platform/posix/PosixClock.h"
#include "platform/qt/QtWallClockAlarm.h"
#include "platform/qt/TimerFdAlarm.h"
#include "tests/fakes/CountingListener.h"

using namespace tw::platform;

namespace {

LocalTime In(const Clock& clock, int ms) {
    LocalTime t = clock.now();
    long long total = ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond + ms;
    if (total >= 86'400'000LL || total < 0)
        return t; // not across midnight: the test then takes "now"
    t.millisecond = static_cast<int>(total % 1000);
    t.second = static_cast<int>(total / 1000 % 60);
    t.minute = static_cast<int>(total / 60000 % 60);
    t.hour = static_cast<int>(total / 3'600'000);
    return t;
}

} // namespace

class WallClockAlarmTest : public QObject {
    Q_OBJECT

    void check(WallClockAlarm& alarm, const Clock& clock) {
        tw::fake::CountingListener listener;
        int& fired = listener.alarms;
        alarm.setListener(&listener);
        QElapsedTimer elapsed;

        struct Row {
            const char* name;
            int armInMs;
            int rearmInMs; // 0: no second arming
            bool disarm;
            int firesWithinMs; // -1: must not fire within 600 ms
        };
        const Row rows[] = {
            {"ahead", 300, 0, false, 300},
            {"already past", -5000, 0, false, 0},
            {"disarmed", 200, 0, true, -1},
            {"armed again, later", 100, 400, false, 400},
        };
        for (const Row& row : rows) {
            fired = 0;
            elapsed.start();
            alarm.arm(In(clock, row.armInMs));
            QCOMPARE(fired, 0); // never inside arm
            QVERIFY2(alarm.armed(), row.name);
            if (row.rearmInMs != 0)
                alarm.arm(In(clock, row.rearmInMs));
            if (row.disarm)
                alarm.disarm();
            if (row.firesWithinMs < 0) {
                QTest::qWait(600);
                QVERIFY2(fired == 0, row.name);
                continue;
            }
            QTRY_COMPARE_WITH_TIMEOUT(fired, 1, 3000);
            QVERIFY2(elapsed.elapsed() >= row.firesWithinMs - 20, row.name);
            QVERIFY2(!alarm.armed(), row.name);
            QTest::qWait(200);
            QVERIFY2(fired == 1, row.name);
        }
    }

private slots:
    void timerFd() {
        PosixClock clock;
        std::unique_ptr<TimerFdAlarm> alarm = TimerFdAlarm::create();
        QVERIFY(alarm != nullptr);
        check(*alarm, clock);
    }
    void qtTimer() {
        PosixClock clock;
        QtWallClockAlarm alarm(clock);
        check(alarm, clock);
        // A reported clock change fires an armed alarm at once, whatever its time.
        tw::fake::CountingListener listener;
        int& fired = listener.alarms;
        alarm.setListener(&listener);
        alarm.arm(In(clock, 3'000'000));
        alarm.clockChanged();
        QTRY_COMPARE_WITH_TIMEOUT(fired, 1, 1000);
    }
};

QTEST_GUILESS_MAIN(WallClockAlarmTest)
#include "test_wall_clock_alarm.moc"
