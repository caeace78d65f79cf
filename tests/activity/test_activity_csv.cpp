// The saved activity log: what a spreadsheet gets, round trips with awkward titles, and damaged files.
#include <gtest/gtest.h>

#include "activity/ActivityCsv.h"
#include "platform/Cp1252.h"
#include "store/DateFormat.h"

using namespace tw;

namespace {

const platform::Cp1252 codePage;
const EnglishLocale locale;

ActivityNode Entry(const std::string& title, long long seconds) {
    ActivityNode n;
    n.entry.Window = 42;
    n.entry.Title = title;
    n.entry.Elapsed = static_cast<double>(seconds) / 86400.0;
    n.text = codePage.fromUtf8(FormatDateTime("hh:nn:ss", n.entry.Elapsed, locale)) + "    " + title;
    return n;
}

DayRoot Root(const std::string& date, const std::string& time, std::vector<ActivityNode> children = {}) {
    DayRoot r;
    r.dateText = date;
    r.timeText = time;
    r.text = date + "     Start in: " + time;
    r.children = std::move(children);
    return r;
}

void ExpectSameLog(const std::vector<DayRoot>& read, const std::vector<DayRoot>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].text, written[i].text);
        ASSERT_EQ(read[i].children.size(), written[i].children.size()) << "root " << i;
        for (std::size_t j = 0; j < read[i].children.size(); ++j) {
            const ActivityNode& r = read[i].children[j];
            const ActivityNode& w = written[i].children[j];
            EXPECT_EQ(r.entry.Title, w.entry.Title);
            EXPECT_EQ(r.text, w.text);
            EXPECT_DOUBLE_EQ(r.entry.Elapsed, w.entry.Elapsed);
            EXPECT_EQ(r.entry.Window, 0u);
        }
    }
}

TEST(ActivityCsv, SpreadsheetReadyLayout) {
    const std::string csv = WriteActivityCsv(
        {Root("08/12/26", "09:00:00", {Entry("Editor", 3725), Entry("a, \"b\"", 0)}), Root("09/12/26", "00:00:01")},
        codePage);
    EXPECT_EQ(csv, "\xEF\xBB\xBF"
                   "Date,Start time,Title,Time,Seconds\r\n"
                   "08/12/26,09:00:00,Editor,01:02:05,3725\r\n"
                   "08/12/26,09:00:00,\"a, \"\"b\"\"\",00:00:00,0\r\n"
                   "09/12/26,00:00:01,\"\",\"\",\"\"\r\n");
}

TEST(ActivityCsv, TitlesASpreadsheetWouldRunAsFormulasAreGuarded) {
    const std::string csv = WriteActivityCsv({Root("08/12/26", "09:00:00", {Entry("=HYPERLINK(1)", 1)})}, codePage);
    EXPECT_NE(csv.find(",'=HYPERLINK(1),"), std::string::npos);
}

TEST(ActivityCsv, AwkwardTitlesSurviveARoundTrip) {
    const std::vector<DayRoot> log = {
        Root("07/12/26", "23:10:00",
             {Entry("plain", 10), Entry("comma, here", 9), Entry("\"quoted\" title", 8), Entry("two\r\nlines", 7),
              Entry("bare\nnewline", 6), Entry("bare\rreturn", 5), Entry(" spaced ", 4), Entry("=1+2", 3),
              Entry("'apostrophe", 2), Entry("''=x", 2), Entry("-minus", 1), Entry("caf\xE9 \x80 \x81", 1),
              Entry(std::string(254, 'w'), 86399)}),
        Root("08/12/26", "00:00:00"),
        Root("08/12/26", "08:30:00", {Entry("@at", 0)}),
    };
    const std::string csv = WriteActivityCsv(log, codePage);
    const ActivityCsvResult back = ReadActivityCsv(csv, codePage, locale);
    EXPECT_EQ(back.badRows, 0);
    ExpectSameLog(back.roots, log);
    // Written again, the file is the same.
    EXPECT_EQ(WriteActivityCsv(back.roots, codePage), csv);
}

TEST(ActivityCsv, ReadsAFileSavedAgainBySpreadsheet) {
    // No byte-order mark, LF line ends, every field quoted, seconds column left empty.
    const ActivityCsvResult r = ReadActivityCsv("\"Date\",\"Start time\",\"Title\",\"Time\",\"Seconds\"\n"
                                                "\"08/12/26\",\"09:00:00\",\"Editor\",\"00:01:30\",\"\"\n"
                                                "\"08/12/26\",\"09:00:00\",\"caf\xC3\xA9\",\"00:00:05\",\"5\"\n",
                                                codePage, locale);
    EXPECT_EQ(r.badRows, 0);
    ASSERT_EQ(r.roots.size(), 1u);
    ASSERT_EQ(r.roots[0].children.size(), 2u);
    EXPECT_EQ(r.roots[0].children[0].text, "00:01:30    Editor");
    EXPECT_EQ(r.roots[0].children[1].entry.Title, "caf\xE9");
}

TEST(ActivityCsv, EmptyOrHeaderOnlyFileIsAnEmptyLog) {
    for (const char* data : {"", "\xEF\xBB\xBF", "Date,Start time,Title,Time,Seconds\r\n"}) {
        const ActivityCsvResult r = ReadActivityCsv(data, codePage, locale);
        EXPECT_TRUE(r.roots.empty());
        EXPECT_EQ(r.badRows, 0);
        EXPECT_TRUE(ActivityCsvDamageText(r, "activity.csv").empty());
    }
}

TEST(ActivityCsv, DamagedRowsAreSkippedAndReportedTheRestIsKept) {
    const ActivityCsvResult r = ReadActivityCsv("Date,Start time,Title,Time,Seconds\r\n"
                                                "08/12/26,09:00:00,\"multi\r\nline\",00:00:01,1\r\n"
                                                "08/12/26,09:00:00,short row\r\n"
                                                "08/12/26,09:00:00,Editor,00:00:02,2\r\n"
                                                "08/12/26,09:00:00,bad seconds,00:00:02,2x\r\n"
                                                "08/12/26,09:00:00,bad clock,00:99:02,\r\n"
                                                ",09:00:00,no date,00:00:02,2\r\n"
                                                "08/12/26,09:00:00,,00:00:02,2\r\n"
                                                "08/12/26,09:00:00,Mail,00:00:03,3\r\n",
                                                codePage, locale);
    EXPECT_EQ(r.badRows, 5);
    EXPECT_EQ(r.firstBadLine, 4); // the quoted line break makes the short row the fourth line
    ASSERT_EQ(r.roots.size(), 1u);
    ASSERT_EQ(r.roots[0].children.size(), 3u);
    EXPECT_EQ(r.roots[0].children[2].entry.Title, "Mail");
    EXPECT_EQ(ActivityCsvDamageText(r, "activity.csv"),
              "The saved activity log \"activity.csv\" is damaged: 5 rows could not be read (the first at line 4). "
              "Everything else was loaded.");
}

TEST(ActivityCsv, TruncatedFileKeepsWhatCameBeforeTheCut) {
    const std::string full =
        WriteActivityCsv({Root("08/12/26", "09:00:00", {Entry("one", 1), Entry("two \"words\"", 2)})}, codePage);
    const std::string cut = full.substr(0, full.find("two") + 2);
    const ActivityCsvResult r = ReadActivityCsv(cut, codePage, locale);
    EXPECT_EQ(r.badRows, 1);
    ASSERT_EQ(r.roots.size(), 1u);
    ASSERT_EQ(r.roots[0].children.size(), 1u);
    EXPECT_EQ(r.roots[0].children[0].entry.Title, "one");
}

TEST(ActivityCsv, WrongHeaderIsReportedButRowsAreRead) {
    const ActivityCsvResult r =
        ReadActivityCsv("Day,When,What\r\n08/12/26,09:00:00,Editor,00:00:02,2\r\n", codePage, locale);
    EXPECT_EQ(r.badRows, 1);
    EXPECT_EQ(r.firstBadLine, 1);
    ASSERT_EQ(r.roots.size(), 1u);
    EXPECT_EQ(r.roots[0].children.size(), 1u);
    // With the header lost altogether, the first row is data and is kept.
    const ActivityCsvResult noHeader = ReadActivityCsv(
        "08/12/26,09:00:00,Editor,00:00:02,2\r\n08/12/26,09:00:00,Mail,00:00:01,1\r\n", codePage, locale);
    EXPECT_EQ(noHeader.badRows, 1);
    ASSERT_EQ(noHeader.roots.size(), 1u);
    EXPECT_EQ(noHeader.roots[0].children.size(), 2u);
}

TEST(ActivityCsv, OverlongFieldsAreCut) {
    const std::string longTitle(400, 't');
    const ActivityCsvResult r = ReadActivityCsv("Date,Start time,Title,Time,Seconds\r\n" + std::string(300, 'd') +
                                                    ",09:00:00," + longTitle + ",00:00:02,2\r\n",
                                                codePage, locale);
    ASSERT_EQ(r.roots.size(), 1u);
    EXPECT_EQ(r.roots[0].text.size(), 255u);
    EXPECT_EQ(r.roots[0].children[0].entry.Title.size(), 254u);
    EXPECT_EQ(r.roots[0].children[0].text, "00:00:02    " + longTitle.substr(0, 254));
}

} // namespace
