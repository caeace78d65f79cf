// The record image and the two reminder files, on in-memory files with armed failures.
#include <gtest/gtest.h>

#include <cstring>

#include "StoreTestSupport.h"
#include "store/IoError.h"
#include "tests/fakes/RecordingMessageBoxes.h"

using namespace tw;
using namespace tw::testing;

namespace {

// A record whose every byte is set, including the ones the program never looks at.
ReminderRecord Scribbled(int seed) {
    ReminderRecord r;
    auto* b = reinterpret_cast<std::uint8_t*>(&r);
    for (std::size_t i = 0; i < RecordSize; ++i)
        b[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
    r.RemDate = 46000.0 + seed;
    r.RemTime = 0.25 + seed / 10000.0;
    r.Note[0] = 3; // bytes past the length stay scribbled
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

TEST(RecordImage, WorkedExampleIsWhatSaveWrites) {
    fake::FakeFileSystem fs;
    Store s(fs);
    ASSERT_EQ(s.AppendActive(Make(KindPopUp, true, 46363.0, EncodeTime(9, 30, 0, 0), "abc")), 0);
    s.SaveActive();
    const auto& file = fs.files.at("rd.dt");
    ASSERT_EQ(file.size(), 288u);
    EXPECT_EQ(file[4], 0x64);
    EXPECT_EQ(file[8], 0x01);
    EXPECT_EQ(file[23], 0x40);
    EXPECT_EQ(file[32], 0x03);
    EXPECT_EQ(file[33], 'a');
}

TEST(RecordImage, ClearRecordEmptiesTheFieldsThatCount) {
    ReminderRecord r = Scribbled(5);
    ClearRecord(r);
    EXPECT_EQ(r.Flag, 0);
    EXPECT_EQ(r.Spare, 0);
    EXPECT_EQ(r.Kind, 0);
    EXPECT_EQ(r.Beep, 0);
    EXPECT_EQ(r.RemDate, 0.0);
    EXPECT_EQ(r.RemTime, 0.0);
    EXPECT_EQ(r.Note[0], 0);
    EXPECT_FALSE(RecordNotEmpty(r));
}

TEST(RecordImage, SetNoteCutsAt255AndNoteTextReadsTheLength) {
    ReminderRecord r{};
    SetNote(r, std::string(300, 'x'));
    EXPECT_EQ(r.Note[0], 255);
    EXPECT_EQ(NoteText(r), std::string(255, 'x'));
    SetNote(r, "hi\r\nthere");
    EXPECT_EQ(NoteText(r), "hi\r\nthere");
    EXPECT_EQ(r.Note[10], 'x'); // bytes past the new length are left alone
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

TEST(ReminderFiles, EveryByteOfEveryUsedSlotRoundTrips) {
    fake::FakeFileSystem fs;
    Store s(fs);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(s.AppendActive(Scribbled(i)), 0);
        s.ExpiredTable[i] = Scribbled(100 + i);
    }
    s.ExpiredCount = 5;
    s.SaveActive();
    s.SaveExpired();
    EXPECT_EQ(fs.files.at("rd.dt").size(), 5 * RecordSize);
    EXPECT_EQ(fs.files.at("re.dt").size(), 5 * RecordSize);

    Store t(fs);
    t.LoadActive();
    t.LoadExpired();
    ASSERT_EQ(t.ActiveCount, 5);
    ASSERT_EQ(t.ExpiredCount, 5);
    for (int i = 0; i < 5; ++i) {
        const ReminderRecord a = Scribbled(i);
        const ReminderRecord e = Scribbled(100 + i);
        EXPECT_EQ(0, std::memcmp(&t.ActiveTable[i], &a, RecordSize)) << "active slot " << i;
        EXPECT_EQ(0, std::memcmp(&t.ExpiredTable[i], &e, RecordSize)) << "expired slot " << i;
    }
    // Loading keeps the file order: it does not sort.
    EXPECT_LT(t.ActiveTable[0].RemDate, t.ActiveTable[4].RemDate);
}

TEST(ReminderFiles, TrailingPartialRecordIsIgnoredAndDroppedAtTheNextSave) {
    fake::FakeFileSystem fs;
    auto bytes = Image(PopUp(46363, At(9, 30), "one"));
    bytes.push_back(0xAB);
    fs.files["rd.dt"] = bytes;
    Store s(fs);
    s.LoadActive();
    EXPECT_EQ(s.ActiveCount, 1);
    EXPECT_EQ(NoteText(s.ActiveTable[0]), "one");
    s.SaveActive();
    EXPECT_EQ(fs.files.at("rd.dt").size(), RecordSize);
}

TEST(ReminderFiles, ThousandRecordFileLoadsTheFirst901) {
    fake::FakeFileSystem fs;
    std::vector<ReminderRecord> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back(PopUp(46000 + i, At(10, 0), std::to_string(i)));
    fs.files["re.dt"] = FileOf(many);
    Store s(fs);
    s.LoadExpired();
    ASSERT_EQ(s.ExpiredCount, MaxReminders);
    EXPECT_EQ(NoteText(s.ExpiredTable[900]), "900");
    s.SaveExpired();
    EXPECT_EQ(fs.files.at("re.dt").size(), 901 * RecordSize);
}

TEST(ReminderFiles, EmptyTableSavesAZeroLengthFileThatLoadsEmpty) {
    fake::FakeFileSystem fs;
    Store s(fs);
    s.SaveActive();
    ASSERT_TRUE(fs.has("rd.dt"));
    EXPECT_TRUE(fs.files.at("rd.dt").empty());
    Store t(fs);
    t.ActiveCount = 0;
    t.LoadActive();
    EXPECT_EQ(t.ActiveCount, 0);
}

TEST(ReminderFiles, AFailingSaveLeavesTheOldFileWholeAndTheTableUnchanged) {
    fake::FakeFileSystem fs;
    Store s(fs);
    ASSERT_EQ(s.AppendActive(PopUp(46363, At(9, 30), "kept")), 0);
    s.SaveActive();
    const auto before = fs.files.at("rd.dt");

    ASSERT_EQ(s.AppendActive(PopUp(46364, At(9, 30), "new")), 0);
    fs.writeError["rd.dt"] = IoCode::DiskFull;
    try {
        s.SaveActive();
        FAIL() << "the save reported success";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), IoCode::DiskFull);
        EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_EQ(fs.files.at("rd.dt"), before);
    EXPECT_EQ(s.ActiveCount, 2);

    fs.writeError.clear();
    s.SaveActive();
    EXPECT_EQ(fs.files.at("rd.dt").size(), 2 * RecordSize);
}

TEST(ReminderFiles, ReadFailurePartWayKeepsTheRecordsReadAndCountsOnlyThem) {
    fake::FakeFileSystem fs;
    std::vector<ReminderRecord> recs;
    for (int i = 0; i < 4; ++i)
        recs.push_back(PopUp(46400 - i, At(8, 0), std::to_string(i)));
    fs.files["rd.dt"] = FileOf(recs);
    fs.readStopsAt["rd.dt"] = 2 * RecordSize + 100; // two whole records and part of the third
    Store s(fs);
    try {
        s.LoadActive();
        FAIL() << "a failed read was reported as success";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
    ASSERT_EQ(s.ActiveCount, 2);
    EXPECT_EQ(NoteText(s.ActiveTable[0]), "0");
    EXPECT_EQ(NoteText(s.ActiveTable[1]), "1");
    // Start-up goes on: the expired file still loads.
    fs.files["re.dt"] = FileOf({recs[3]});
    s.LoadExpired();
    EXPECT_EQ(s.ExpiredCount, 1);
}

TEST(ReminderFiles, UnreadableFileFailsTheLoadWithItsText) {
    fake::FakeFileSystem fs;
    fs.files["re.dt"] = FileOf({PopUp(46363, At(9, 0))});
    fs.readError["re.dt"] = IoCode::AccessDenied;
    Store s(fs);
    fake::RecordingMessageBoxes boxes;
    EXPECT_FALSE(GuardIo(boxes, [&] { s.LoadExpired(); }));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, fake::RecordingMessageBoxes::Shown::Error);
    EXPECT_EQ(boxes.shown[0].text, "File access denied");
    EXPECT_EQ(s.ExpiredCount, 0);
}

TEST(ReminderFiles, ErrorTextsByCode) {
    EXPECT_EQ(IoErrorText(2), "File not found");
    EXPECT_EQ(IoErrorText(3), "Invalid filename");
    EXPECT_EQ(IoErrorText(4), "Too many open files");
    EXPECT_EQ(IoErrorText(5), "File access denied");
    EXPECT_EQ(IoErrorText(100), "Read beyond end of file");
    EXPECT_EQ(IoErrorText(101), "Disk full");
    EXPECT_EQ(IoErrorText(32), "I/O error 32");
    EXPECT_EQ(IoErrorText(-7), "I/O error -7");
}

TEST(ReminderFiles, GuardIoPassesSuccessAndOtherErrorsThrough) {
    fake::RecordingMessageBoxes boxes;
    int ran = 0;
    EXPECT_TRUE(GuardIo(boxes, [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_THROW(GuardIo(boxes, [] { throw std::logic_error("not an I/O error"); }), std::logic_error);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(ReminderFiles, ExpiredSaveBatchWritesOnceWhenTheOutermostBatchEnds) {
    fake::FakeFileSystem fs;
    Store s(fs);
    {
        Store::ExpiredSaveBatch outer(s);
        {
            Store::ExpiredSaveBatch inner(s);
            EXPECT_EQ(s.AppendExpired(PopUp(46000, At(1, 0), "a")), 0);
            EXPECT_EQ(s.AppendExpired(PopUp(46001, At(1, 0), "b")), 0);
        }
        EXPECT_EQ(fs.writeCount("re.dt"), 0);
    }
    EXPECT_EQ(fs.writeCount("re.dt"), 1);
    EXPECT_EQ(fs.files.at("re.dt").size(), 2 * RecordSize);

    // A batch in which nothing was appended writes nothing.
    { Store::ExpiredSaveBatch idle(s); }
    EXPECT_EQ(fs.writeCount("re.dt"), 1);

    // A failing write surfaces from finish(), and the next save writes the table whole.
    fs.writeError["re.dt"] = IoCode::DiskFull;
    {
        Store::ExpiredSaveBatch b(s);
        s.AppendExpired(PopUp(46002, At(1, 0), "c"));
        EXPECT_THROW(b.finish(), IoError);
    }
    fs.writeError.clear();
    s.SaveExpired();
    EXPECT_EQ(fs.files.at("re.dt").size(), 3 * RecordSize);
}
