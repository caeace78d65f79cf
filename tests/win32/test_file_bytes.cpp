// The reminder files are the same bytes on every platform: the same tables, saved through this
// platform's real file back end, must give exactly the committed fixture files in tests/data.
// The fixtures were written by the Linux build (TELLWICK_WRITE_FIXTURES=1 writes them anew).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "store/DayCount.h"
#include "store/Store.h"

#ifdef _WIN32
#include "platform/win32/WinFileSystem.h"
using PlatformFileSystem = tw::platform::WinFileSystem;
#else
#include "platform/posix/PosixFileSystem.h"
using PlatformFileSystem = tw::platform::PosixFileSystem;
#endif

using namespace tw;
namespace fs = std::filesystem;

namespace {

ReminderRecord Make(std::int32_t kind, bool beep, int y, int mo, int d, int h, int mi, std::string_view note) {
    ReminderRecord r{};
    r.Kind = kind;
    r.Beep = beep ? 1 : 0;
    r.RemDate = *EncodeDate(y, mo, d);
    r.RemTime = EncodeTime(h, mi, 0, 0);
    SetNote(r, note);
    return r;
}

// Tables that exercise every field: all three kinds, beep on and off, the ANSI bytes above 0x7F, a
// note of the full 255 characters, bytes past a note's length, and non-zero Flag, Spare and padding
// as a file from elsewhere may carry them.
void FillTables(Store& s) {
    s.AppendActive(Make(KindPopUp, true, 2026, 12, 7, 9, 30, "abc"));
    s.AppendActive(Make(KindTitle, false, 2027, 1, 1, 0, 0, "New year \x80 \xe9t\xe9 \xff"));
    s.AppendActive(Make(KindIcon, true, 1999, 12, 31, 23, 59, std::string(255, 'x')));
    ReminderRecord odd = Make(KindPopUp, false, 2030, 6, 15, 12, 5, "long note, then a shorter one");
    SetNote(odd, "short");
    odd.Flag = 7;
    odd.Spare = 0xAA;
    odd.Pad1[1] = 0x55;
    odd.Pad2[6] = 0x99;
    s.AppendActive(odd);
    s.SortActive();
    s.AppendExpired(Make(KindTitle, true, 2025, 2, 28, 8, 0, "expired one"));
    s.AppendExpired(Make(KindIcon, false, 2024, 2, 29, 18, 45, "leap day"));
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ScratchCwd {
public:
    ScratchCwd() : m_previous(fs::current_path()) {
        m_dir = fs::temp_directory_path() / ("tellwick-bytes-" + std::to_string(std::random_device{}()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    ~ScratchCwd() {
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
    }

private:
    fs::path m_previous;
    fs::path m_dir;
};

const fs::path DataDir = fs::path(TELLWICK_TEST_DATA);

} // namespace

TEST(FileBytes, SameTablesGiveTheCommittedBytes) {
    ScratchCwd cwd;
    PlatformFileSystem files;
    Store s(files);
    FillTables(s);
    s.SaveActive();
    s.SaveExpired();
    const std::string active = ReadAll(ActiveFileName);
    const std::string expired = ReadAll(ExpiredFileName);
    ASSERT_EQ(active.size(), 4 * RecordSize);
    ASSERT_EQ(expired.size(), 2 * RecordSize);

    if (std::getenv("TELLWICK_WRITE_FIXTURES")) {
        std::ofstream(DataDir / "tables-rd.dt", std::ios::binary) << active;
        std::ofstream(DataDir / "tables-re.dt", std::ios::binary) << expired;
    }
    const std::string wantActive = ReadAll(DataDir / "tables-rd.dt");
    const std::string wantExpired = ReadAll(DataDir / "tables-re.dt");
    ASSERT_EQ(wantActive.size(), active.size()) << "fixture missing: " << (DataDir / "tables-rd.dt").string();
    EXPECT_TRUE(active == wantActive) << "rd.dt differs from the fixture";
    EXPECT_TRUE(expired == wantExpired) << "re.dt differs from the fixture";

    // An independent anchor: the worked example of the file layout, sorted into the third slot.
    const unsigned char head[40] = {0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x60, 0xa3, 0xe6, 0x40, 0x55, 0x55, 0x55, 0x55,
                                    0x55, 0x55, 0xd9, 0x3f, 0x03, 0x61, 0x62, 0x63, 0x00, 0x00, 0x00, 0x00};
    ASSERT_EQ(wantActive.size(), 4 * RecordSize);
    EXPECT_EQ(0, std::memcmp(wantActive.data() + 2 * RecordSize, head, sizeof head));
}

TEST(FileBytes, FixtureLoadsAndSavesBackUnchanged) {
    ScratchCwd cwd;
    fs::copy_file(DataDir / "tables-rd.dt", ActiveFileName);
    fs::copy_file(DataDir / "tables-re.dt", ExpiredFileName);
    PlatformFileSystem files;
    Store s(files);
    s.LoadActive();
    s.LoadExpired();
    ASSERT_EQ(s.ActiveCount, 4);
    ASSERT_EQ(s.ExpiredCount, 2);
    EXPECT_EQ(NoteText(s.ExpiredTable[1]), "leap day");
    fs::remove(ActiveFileName);
    fs::remove(ExpiredFileName);
    s.SaveActive();
    s.SaveExpired();
    EXPECT_TRUE(ReadAll(ActiveFileName) == ReadAll(DataDir / "tables-rd.dt"));
    EXPECT_TRUE(ReadAll(ExpiredFileName) == ReadAll(DataDir / "tables-re.dt"));
}
