// The record image and the two reminder files.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/FakeFileSystem.h"
#include "store/DayCount.h"
#include "store/IoError.h"
#include "store/Store.h"

using namespace tw;

namespace {

ReminderRecord Make(int kind, bool beep, double date, double time, std::string_view note) {
    ReminderRecord r{};
    r.Kind = kind;
    r.Beep = beep ? 1 : 0;
    r.RemDate = date;
    r.RemTime = time;
    SetNote(r, note);
    return r;
}

} // namespace

TEST(RecordImage, WorkedExampleBytes) {
    const double day = *EncodeDate(2026, 12, 7);
    ASSERT_EQ(day, 46363.0);
    const ReminderRecord r = Make(KindPopUp, true, day, EncodeTime(9, 30, 0, 0), "abc");
    const std::uint8_t expected[40] = {0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x01, 0x00,
                                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                       0x60, 0xa3, 0xe6, 0x40, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
                                       0xd9, 0x3f, 0x03, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00, 0x00};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&r);
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));
    for (std::size_t i = 40; i < RecordSize; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(ReminderFiles, MissingFilesLeaveTablesEmptyAndCreateNothing) {
    fake::FakeFileSystem fs;
    Store s(fs);
    s.LoadActive();
    s.LoadExpired();
    EXPECT_EQ(s.ActiveCount, 0);
    EXPECT_EQ(s.ExpiredCount, 0);
    EXPECT_TRUE(fs.files.empty());
}
