// The dialogs' test bench: a store on a fake file system, a fake clock, English names, the
// Windows-1252 code page, recorded message boxes and help requests, bundled as the program's
// services, and a helper that builds reminders.
#pragma once

#include <string>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/NoBackends.h"
#include "store/DayCount.h"
#include "store/Services.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"
#include "tests/fakes/RecordingPump.h"

namespace tw::test {

struct DialogEnv {
    fake::FakeFileSystem files;
    Store store{files};
    fake::FakeClock clock{{2026, 12, 8, 9, 0, 17, 250}};
    EnglishLocale locale;
    platform::Cp1252 codePage;
    fake::RecordingMessageBoxes boxes;
    fake::CountingBeeper beeper;
    fake::RecordingPump pump;
    tw::fake::RecordingHelp help;
    platform::NoForeignWindows noWindows;
    Services services{store, clock, locale, codePage, boxes, beeper, pump, help, noWindows};
};

inline ReminderRecord MakeReminder(std::int32_t kind, int y, int mo, int d, int h, int mi, const std::string& note,
                                   std::uint8_t beep = 0) {
    ReminderRecord r{};
    r.Kind = kind;
    r.Beep = beep;
    r.RemDate = *EncodeDate(y, mo, d);
    r.RemTime = EncodeTime(h, mi, 0, 0);
    SetNote(r, note);
    return r;
}

inline std::vector<std::uint8_t> Bytes(const ReminderRecord& r) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
    return {p, p + RecordSize};
}

// The file image of a table's first n slots, as SaveActive writes it.
inline std::vector<std::uint8_t> Image(const ReminderTable& t, int n) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < n; ++i) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&t[i]);
        bytes.insert(bytes.end(), p, p + RecordSize);
    }
    return bytes;
}

} // namespace tw::test
