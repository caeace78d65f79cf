// Quick entry: the phrases the reader takes at a fixed clock (Tuesday 8 December 2026, 09:00:17),
// grouped by kind, what it refuses and why, the line it prints reading back to the same reminder,
// and --add into "rd.dt" and into a running copy's store.
#include <gtest/gtest.h>

#include <functional>

#include "StoreTestSupport.h"
#include "platform/Cp1252.h"
#include "store/DateFormat.h"
#include "store/QuickAdd.h"
#include "store/QuickEntry.h"
#include "store/Recurrence.h"
#include "tests/fakes/FakeTimeZone.h"

using namespace tw;
using namespace tw::testing;

namespace {

constexpr platform::LocalTime Now{2026, 12, 8, 9, 0, 17, 250};

// Month-first short dates, as in the United States.
class MonthFirstLocale : public EnglishLocale {
public:
    std::string shortDateFormat() const override { return "m/d/yyyy"; }
};

// Other separators and month names that are not English and hold the date separator.
class OtherLocale : public EnglishLocale {
public:
    std::string dateSeparator() const override { return "."; }
    std::string timeSeparator() const override { return "h"; }
    std::string shortMonthName(int m) const override {
        return m == 12 ? "d\u00E9c." : "m" + std::to_string(m); // "déc."
    }
};

struct Env {
    EnglishLocale english;
    platform::Cp1252 cp;
    fake::FakeTimeZone zone;
    QuickEntryContext at(platform::LocalTime now, const platform::Locale* locale = nullptr) const {
        return {now, locale ? *locale : english, cp, &zone};
    }
};

// The line an accepted phrase stores, or the error of a refused one.
std::string Outcome(std::string_view phrase, const QuickEntryContext& ctx) {
    const QuickReading r = ReadQuickEntry(phrase, ctx);
    return r.accepted() ? QuickEntryLine(r.entry(), ctx) : "error: " + r.error;
}

struct Case {
    const char* phrase;
    const char* outcome;
};

// Table of phrases by kind; every accepted one also reads back from its line.
const std::vector<std::pair<const char*, std::vector<Case>>> Phrases = {
    {"days",
     {{"today 10am call", "08/Dec/26 10:00 Once call"},
      {"TOMORROW 9AM Call the garage", "09/Dec/26 09:00 Once Call the garage"},
      {"tuesday 9:30 x", "08/Dec/26 09:30 Once x"},
      {"tue 9:00 x", "15/Dec/26 09:00 Once x"}, // this minute is no longer ahead
      {"tue 8:00 x", "15/Dec/26 08:00 Once x"},
      {"fri 17:00 x", "11/Dec/26 17:00 Once x"},
      {"next tue 10:00 x", "15/Dec/26 10:00 Once x"},
      {"next friday 17:00 x", "11/Dec/26 17:00 Once x"},
      {"24 dec 9am x", "24/Dec/26 09:00 Once x"},
      {"dec 24 9am x", "24/Dec/26 09:00 Once x"},
      {"24th December 2027 9am x", "24/Dec/27 09:00 Once x"},
      {"Dec 24, 2027 9am x", "24/Dec/27 09:00 Once x"},
      {"8 dec 8am x", "08/Dec/27 08:00 Once x"}, // passed this year
      {"29 feb 9am x", "29/Feb/28 09:00 Once x"},
      {"2027-01-15 9:00 x", "15/Jan/27 09:00 Once x"},
      {"09/Dec/26 10:00 x", "09/Dec/26 10:00 Once x"},
      {"15/01/2027 9:00 x", "15/Jan/27 09:00 Once x"},
      {"15.01.27 9:00 x", "15/Jan/27 09:00 Once x"},
      {"31 dec 9999 23:59 x", "31/Dec/9999 23:59 Once x"}}},
    {"times",
     {{"tomorrow 9 x", "09/Dec/26 09:00 Once x"},
      {"tomorrow 09:30 x", "09/Dec/26 09:30 Once x"},
      {"tomorrow 9:30pm x", "09/Dec/26 21:30 Once x"},
      {"tomorrow 9.30pm x", "09/Dec/26 21:30 Once x"},
      {"tomorrow 9 pm x", "09/Dec/26 21:00 Once x"},
      {"tomorrow 12am x", "09/Dec/26 00:00 Once x"},
      {"tomorrow 12pm x", "09/Dec/26 12:00 Once x"},
      {"tomorrow at noon x", "09/Dec/26 12:00 Once x"},
      {"tomorrow midnight x", "09/Dec/26 00:00 Once x"},
      {"at 10:00 x", "08/Dec/26 10:00 Once x"},
      {"9:01 x", "08/Dec/26 09:01 Once x"},
      {"9:00 x", "09/Dec/26 09:00 Once x"},
      {"midnight x", "09/Dec/26 00:00 Once x"}}},
    {"spans",
     {{"in 20 minutes x", "08/Dec/26 09:20 Once x"},
      {"in 20 min x", "08/Dec/26 09:20 Once x"},
      {"in 2 hours x", "08/Dec/26 11:00 Once x"},
      {"in 2h x", "08/Dec/26 11:00 Once x"},
      {"in 16 hours x", "09/Dec/26 01:00 Once x"},
      {"in an hour x", "08/Dec/26 10:00 Once x"},
      {"in 3 days x", "11/Dec/26 09:00 Once x"},
      {"in 3 days 8am x", "11/Dec/26 08:00 Once x"},
      {"in 2 weeks 8am x", "22/Dec/26 08:00 Once x"}}},
    {"repeats",
     {{"every day 9am x", "09/Dec/26 09:00 Every day x"},
      {"9am every weekday x", "09/Dec/26 09:00 Every weekday x"},
      {"every week fri 9am x", "11/Dec/26 09:00 Every week x"},
      {"every monday 9am x", "14/Dec/26 09:00 Every week x"},
      {"every month 24 dec 9am x", "24/Dec/26 09:00 Every month x"},
      {"every year 29 feb 9am x", "29/Feb/28 09:00 Every year x"},
      {"once 9am x", "09/Dec/26 09:00 Once x"}}},
    {"notes",
     {{"tomorrow 9am   call  the garage  ", "09/Dec/26 09:00 Once call  the garage"},
      {"tomorrow\t9am\ncall\rmum\n", "09/Dec/26 09:00 Once call mum"},
      {"tomorrow 9am caf\xC3\xA9 \xE2\x82\xAC", "09/Dec/26 09:00 Once caf\xC3\xA9 \xE2\x82\xAC"},
      {"tomorrow 9am 3 boxes", "09/Dec/26 09:00 Once 3 boxes"}, // the time was read: a second one is the note
      {"tomorrow 9am next steps", "09/Dec/26 09:00 Once next steps"},
      {"tomorrow 9am in the office", "09/Dec/26 09:00 Once in the office"},
      {"9am once every day", "09/Dec/26 09:00 Once every day"},
      {"tomorrow 9am may 5 review", "09/Dec/26 09:00 Once may 5 review"}}},
    {"refused",
     {{"", "error: No time of day"},
      {"call the garage", "error: No time of day"},
      {"tomorrow call", "error: No time of day"},
      {"call tomorrow 9am", "error: No time of day"},
      {"tomorrow 9am", "error: No note"},
      {"today 8am x", "error: In the past: 08/Dec/26 08:00"},
      {"2026-12-07 10:00 x", "error: In the past: 07/Dec/26 10:00"},
      {"31 feb 9am x", "error: No such date: \"31 feb\""},
      {"2027-02-29 9am x", "error: No such date: \"2027-02-29\""},
      {"30/Feb/27 9:00 x", "error: No such date: \"30/Feb/27\""},
      {"1/2/3/4 9am x", "error: Date not understood: \"1/2/3/4\""},
      {"tomorrow 25:00 x", "error: Time not understood: \"25:00\""},
      {"tomorrow 13pm x", "error: Time not understood: \"13pm\""},
      {"tomorrow 9:5 x", "error: Time not understood: \"9:5\""},
      {"tomorrow 2027 x", "error: Time not understood: \"2027\""},
      {"in 20 parsecs x", "error: Span not understood: \"in 20 parsecs\""},
      {"in 99999999 days x", "error: Span not understood: \"in 99999999\""},
      {"in 9999999 days x", "error: No such date: \"in 9999999 days\""},
      {"every fortnight 9am x", "error: Repeat not understood: \"every fortnight\""},
      {"1/2/3\x01 9am x", "error: Date not understood: \"1/2/3\xEF\xBF\xBD\""},
      {"tomorrow 9am a\x07z", "error: Note: control character U+0007"},
      {"tomorrow 9am \xE6\x97\xA5\xE6\x9C\xAC", "error: Note: \"\xE6\x97\xA5\" cannot be stored"},
      {"tomorrow 9am \xFF", "error: Not UTF-8 text"},
      {"tomorrow 9am \xC0\xAF", "error: Not UTF-8 text"}}},
};

} // namespace

TEST(QuickEntry, PhrasesByKindAndTheirReadBack) {
    const Env env;
    const QuickEntryContext ctx = env.at(Now);
    for (const auto& [kind, cases] : Phrases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(kind) + ": " + c.phrase);
            EXPECT_EQ(Outcome(c.phrase, ctx), c.outcome);
            const QuickReading r = ReadQuickEntry(c.phrase, ctx);
            if (r.accepted()) {
                const QuickReading back = ReadQuickEntry(QuickEntryLine(r.entry(), ctx), ctx);
                ASSERT_TRUE(back.accepted()) << back.error;
                EXPECT_EQ(back.entry(), r.entry());
            }
        }
    }
}

TEST(QuickEntry, LimitsOrderOfDatesZoneAndPartsOfARefusedLine) {
    const Env env;
    const QuickEntryContext ctx = env.at(Now);
    // The note takes 128 characters of the code page, counted as characters, not bytes.
    const std::string full(127, 'n');
    EXPECT_EQ(Outcome("tomorrow 9am \xC3\xA9" + full, ctx), "09/Dec/26 09:00 Once \xC3\xA9" + full);
    EXPECT_EQ(Outcome("tomorrow 9am " + full + "nn", ctx), "error: Note too long: 129 characters, at most 128");
    // A message quotes at most 40 characters of a part.
    EXPECT_EQ(Outcome("tomorrow " + std::string(5000, '7') + " x", ctx),
              "error: Time not understood: \"" + std::string(40, '7') + "...\"");

    // The locale's short date decides between day and month; ISO and the list's format do not.
    const MonthFirstLocale us;
    EXPECT_EQ(Outcome("01/15/2027 9:00 x", env.at(Now, &us)), "15/Jan/27 09:00 Once x");
    EXPECT_EQ(Outcome("01/15/2027 9:00 x", ctx), "error: No such date: \"01/15/2027\"");
    EXPECT_EQ(Outcome("2027-01-15 9:00 x", env.at(Now, &us)), "15/Jan/27 09:00 Once x");

    // "every weekday" without a day starts on the next weekday; Friday evening: Monday.
    EXPECT_EQ(Outcome("every weekday 8am x", env.at({2026, 12, 11, 20, 0, 0, 0})), "14/Dec/26 08:00 Every weekday x");

    // A one-off time the clock skips is the first minute after the gap; a series keeps its time.
    fake::FakeTimeZone spring;
    spring.skip({2026, 12, 9, 2, 0, 0, 0}, {2026, 12, 9, 3, 0, 0, 0});
    const QuickEntryContext dst{Now, env.english, env.cp, &spring};
    EXPECT_EQ(Outcome("tomorrow 2:30 x", dst), "09/Dec/26 03:00 Once x");
    EXPECT_EQ(Outcome("tomorrow 2:30 every day x", dst), "09/Dec/26 02:30 Every day x");

    // A refused line still gives the parts it understood, for the editor to follow.
    const QuickReading partial = ReadQuickEntry("tomorrow every week", ctx);
    EXPECT_EQ(partial.error, "No time of day");
    EXPECT_EQ(partial.day, static_cast<std::int64_t>(Day(2026, 12, 9)));
    EXPECT_EQ(partial.repeat, Repeat::EveryWeek);
    EXPECT_FALSE(partial.minuteOfDay);
    const QuickReading noNote = ReadQuickEntry("in 2 hours", ctx);
    EXPECT_EQ(noNote.error, "No note");
    EXPECT_EQ(noNote.minuteOfDay, 11 * 60);
}

// Every combination of day, time, repeat and a note that looks like more of them reads back from
// its line, at clocks around the turn of a year and in a locale with other names and separators.
TEST(QuickEntry, EveryAcceptedLineReadsBackToTheSameReminder) {
    const Env env;
    const OtherLocale other;
    const std::vector<std::string> days = {
        "",        "today ",      "tomorrow ",   "sun ",       "next mon ",     "31 dec ",
        "feb 29 ", "1 jan 2030 ", "2027-03-01 ", "in 3 days ", "in 90 minutes "};
    const std::vector<std::string> times = {"", "0:00 ", "8am ", "noon ", "23:59 ", "at 9.30pm "};
    const std::vector<std::string> repeats = {
        "", "every day ", "every weekday ", "every week ", "every month ", "every year ", "once "};
    const std::vector<std::string> notes = {"x",           "every day",      "once more", "9am", "tomorrow 8am",
                                            "31/Dec/26 x", "  spaced  out  "};
    int accepted = 0;
    for (const platform::LocalTime now :
         {Now, platform::LocalTime{2026, 12, 31, 23, 59, 0, 0}, platform::LocalTime{2076, 6, 1, 0, 0, 0, 0}}) {
        for (const platform::Locale* locale :
             {static_cast<const platform::Locale*>(&env.english), static_cast<const platform::Locale*>(&other)}) {
            const QuickEntryContext ctx = env.at(now, locale);
            for (const auto& d : days)
                for (const auto& t : times)
                    for (const auto& r : repeats)
                        for (const auto& n : notes) {
                            const std::string phrase = r + d + t + n;
                            const QuickReading first = ReadQuickEntry(phrase, ctx);
                            if (!first.accepted())
                                continue;
                            ++accepted;
                            const std::string line = QuickEntryLine(first.entry(), ctx);
                            const QuickReading back = ReadQuickEntry(line, ctx);
                            ASSERT_TRUE(back.accepted()) << phrase << " -> " << line << ": " << back.error;
                            ASSERT_EQ(back.entry(), first.entry()) << phrase << " -> " << line;
                        }
        }
    }
    EXPECT_GT(accepted, 5000);
}

namespace {

struct AddEnv {
    fake::FakeFileSystem files;
    Store store{files};
    fake::FakeClock clock{Now};
    fake::FakeTimeZone zone;
    EnglishLocale locale;
    platform::Cp1252 cp;
    QuickAddServices services{clock, zone, locale, cp};
};

} // namespace

// --add with no copy running: the reminder is the editor's default (pop-up, no sound) with its
// rule, sorted among those in "rd.dt"; a refused line, an unreadable file, a failed save and a full
// table store nothing and leave the file as it was.
TEST(QuickAdd, IntoTheFileAndIntoARunningCopy) {
    auto env = std::make_unique<AddEnv>();
    const ReminderRecord later = PopUp(Day(2027, 1, 1), At(8, 0), "later");
    env->files.files["rd.dt"] = FileOf({later});

    const QuickAddResult ok = AddQuickEntryToFile(env->store, "tomorrow 9am every week call the garage", env->services);
    EXPECT_EQ(ok.status, QuickAddStored);
    EXPECT_EQ(ok.line, "09/Dec/26 09:00 Every week call the garage");
    ReminderRecord expected = PopUp(Day(2026, 12, 9), At(9, 0), "call the garage");
    WriteRule(expected, RuleAt(Repeat::EveryWeek, expected.RemDate, expected.RemTime));
    EXPECT_EQ(env->files.files["rd.dt"], FileOf({later, expected})); // descending: the earliest last
    EXPECT_EQ(ReadRule(expected).weekday, 3);

    struct Refusal {
        const char* phrase;
        int status;
        const char* line;
        std::function<void(AddEnv&)> arrange;
    };
    const std::vector<Refusal> refusals = {
        {"today 8am x", QuickAddRefused, "In the past: 08/Dec/26 08:00", {}},
        {"31 apr 9am x", QuickAddRefused, "No such date: \"31 apr\"", {}},
        {"tomorrow 9am x", QuickAddFailed, "rd.dt: File access denied",
         [](AddEnv& e) { e.files.readError["rd.dt"] = 5; }},
        {"tomorrow 9am x", QuickAddFailed, "rd.dt: Disk full", [](AddEnv& e) { e.files.writeError["rd.dt"] = 101; }},
        {"tomorrow 9am x", QuickAddFailed, "Count of reminder must be less 901",
         [](AddEnv& e) { e.files.files["rd.dt"] = std::vector<std::uint8_t>(RecordSize * 1000, 0); }},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.line);
        auto e = std::make_unique<AddEnv>();
        e->files.files["rd.dt"] = FileOf({later});
        if (r.arrange)
            r.arrange(*e);
        const auto before = e->files.files["rd.dt"];
        const QuickAddResult result = AddQuickEntryToFile(e->store, r.phrase, e->services);
        EXPECT_EQ(result.status, r.status);
        EXPECT_EQ(result.line, r.line);
        EXPECT_EQ(e->files.files["rd.dt"], before);
        EXPECT_EQ(e->files.writeCount("rd.dt"), 0);
        EXPECT_FALSE(e->files.has("re.dt"));
    }

    // The running copy: an edit in progress and the monitor's state stay; a failed save leaves the
    // table as it was.
    auto run = std::make_unique<AddEnv>();
    run->store.ActiveTable[0] = later;
    run->store.ActiveTable[1] = PopUp(Day(2026, 12, 20), At(8, 0), "held");
    run->store.ActiveCount = 2;
    run->store.BeginEdit(TableId::Active, 1);
    run->files.writeError["rd.dt"] = 101;
    EXPECT_EQ(TakeQuickEntry(run->store, "in 2 hours tea", run->services).status, QuickAddFailed);
    EXPECT_EQ(run->store.ActiveCount, 1);
    run->files.writeError.clear();
    const QuickAddResult taken = TakeQuickEntry(run->store, "in 2 hours tea", run->services);
    EXPECT_EQ(taken.line, "08/Dec/26 11:00 Once tea");
    EXPECT_EQ(run->files.files["rd.dt"], FileOf({later, PopUp(Day(2026, 12, 8), At(11, 0), "tea")}));
    EXPECT_TRUE(run->store.EditPending());
    EXPECT_EQ(TakeQuickEntry(run->store, "tea", run->services).status, QuickAddRefused);
    EXPECT_EQ(run->store.ActiveCount, 2);
}
