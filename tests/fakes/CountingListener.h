// CountingListener: counts what the platform pieces tell their listener, for the tests of their
// back ends.
#pragma once

#include "platform/Desktop.h"
#include "platform/Notifier.h"
#include "platform/Timer.h"
#include "platform/TrayIcon.h"
#include "platform/WallClockAlarm.h"

namespace tw::fake {

struct CountingListener : platform::TrayIconListener,
                          platform::TimerListener,
                          platform::NoticeListener,
                          platform::AlarmListener,
                          platform::HotKeyListener {
    int clicks = 0;
    int doubleClicks = 0;
    int timeouts = 0;
    int noticeClicks = 0;
    int alarms = 0;
    int hotKeyPresses = 0;

    void trayIconClicked() override { ++clicks; }
    void trayIconDoubleClicked() override { ++doubleClicks; }
    void timedOut() override { ++timeouts; }
    void noticeClicked() override { ++noticeClicks; }
    void alarmFired() override { ++alarms; }
    void hotKeyPressed() override { ++hotKeyPresses; }
};

} // namespace tw::fake
