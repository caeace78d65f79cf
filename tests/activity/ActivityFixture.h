// The services of the activity tests in memory: fake clock, fake windows, a recording pump and
// message boxes, and a sampling timer that only remembers whether it is armed.
#pragma once

#include <string>
#include <vector>

#include "activity/ActivityLog.h"
#include "platform/Cp1252.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeWindows.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"
#include "tests/fakes/RecordingPump.h"

namespace tw::test {

class FlagTimer : public SampleTimer {
public:
    bool enabled = false;
    void disable() override { enabled = false; }
};

struct ActivityServices {
    fake::FakeFileSystem files;
    Store store{files};
    fake::FakeClock clock{{2026, 12, 8, 9, 0, 0, 0}};
    EnglishLocale locale;
    platform::Cp1252 codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    fake::RecordingPump pump{&clock};
    tw::fake::RecordingHelp help;
    fake::FakeWindows windows;
    Services services{store, clock, locale, codePage, boxes, beeper, pump, help, windows};
};

} // namespace tw::test
