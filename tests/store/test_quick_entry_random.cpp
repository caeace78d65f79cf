// Randomized: hostile lines for quick entry (very long text, control characters, non-ASCII and
// broken UTF-8, digits only, fragments of every phrase) at clocks up to the ends of the calendar,
// in two locales. Nothing faults (this runs under the sanitizers), every part reported is in range,
// and every accepted line is a valid reminder that reads back from the line it prints.
// TELLWICK_RANDOM_SEED=<n> repeats one round.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "platform/Cp1252.h"
#include "store/DateFormat.h"
#include "store/DayCount.h"
#include "store/QuickEntry.h"
#include "tests/fakes/FakeTimeZone.h"

using namespace tw;

namespace {

class OddLocale : public EnglishLocale {
public:
    std::string dateSeparator() const override { return ""; }
    std::string timeSeparator() const override { return "\xE6\x99\x82"; } // a CJK character
    std::string shortMonthName(int m) const override { return m % 2 ? "" : "\xC3\xA9t\xC3\xA9/"; }
    std::string shortDateFormat() const override { return "yy"; }
};

// clang-format off
const std::vector<std::string> Pieces = {
    "today", "tomorrow", "next", "fri", "SUNDAY", "every", "day", "weekday", "week", "month", "year", "once", "in",
    "20", "min", "hours", "h", "a", "an", "at", "noon", "midnight", "9", "9:30", "09.30pm", "12am", "13pm", "24",
    "24th", "dec", "feb", "29", "2027", "2027-02-29", "9999-12-31", "09/Dec/26", "31/02/27", "1/2/3", "/", ":", ".",
    "-", ",", "am", "pm", "\xC3\xA9", "\xE2\x82\xAC", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xFF", "\xC0\xAF", "\x80",
    "\xE2\x82", "\xED\xA0\x80", " ", "  ", "\t", "\n", "\r", "\x07", std::string(1, '\0'), "\x7F", "\xC2\x85"};
// clang-format on

class Random {
public:
    explicit Random(std::uint64_t seed) : m_gen(seed) {}
    int below(int n) { return static_cast<int>(m_gen() % static_cast<std::uint64_t>(n)); }

    std::string line() {
        std::string s;
        switch (below(100)) {
        case 0: // very long: digits only, or fragments of phrases (a random chunk repeated)
        case 1: {
            std::string chunk;
            while (chunk.size() < 400)
                chunk += below(100) == 0 ? std::string(Pieces[0]) : std::string(1, static_cast<char>('0' + below(10)));
            if (below(2))
                for (chunk.clear(); chunk.size() < 400;)
                    chunk += Pieces[static_cast<std::size_t>(below(static_cast<int>(Pieces.size())))] + " ";
            while (s.size() < 100'000)
                s += chunk;
            return s;
        }
        case 2:
        case 3: // arbitrary bytes
            for (int i = 0, n = below(300); i < n; ++i)
                s += static_cast<char>(below(256));
            return s;
        default: // a few words, then perhaps a note of any length
            for (int i = 0, n = below(9); i < n; ++i) {
                s += Pieces[static_cast<std::size_t>(below(static_cast<int>(Pieces.size())))];
                if (below(4) != 0)
                    s += ' ';
            }
            for (int i = 0, n = below(3) == 0 ? below(200) : below(12); i < n; ++i)
                s += static_cast<char>(below(3) ? 'a' + below(26) : ' ');
            return s;
        }
    }

    platform::LocalTime clock() {
        switch (below(8)) {
        case 0:
            return {9999, 12, 31, 23, 59, 59, 999};
        case 1:
            return {1, 1, 1, 0, 0, 0, 0};
        default: {
            const int y = 1950 + below(150);
            const int m = 1 + below(12);
            return {y, m, 1 + below(DaysInMonth(m, y)), below(24), below(60), below(60), below(1000)};
        }
        }
    }

private:
    std::mt19937_64 m_gen;
};

// The number of accepted lines.
int RunRound(std::uint64_t seed) {
    SCOPED_TRACE("TELLWICK_RANDOM_SEED=" + std::to_string(seed));
    Random rnd(seed);
    const EnglishLocale english;
    const OddLocale odd;
    const platform::Cp1252 cp;
    const fake::FakeTimeZone zone;
    int accepted = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string text = rnd.line();
        const QuickEntryContext ctx{rnd.clock(), rnd.below(3) ? static_cast<const platform::Locale&>(english) : odd, cp,
                                    &zone};
        const QuickReading r = ReadQuickEntry(text, ctx);
        EXPECT_TRUE(!r.minuteOfDay || (*r.minuteOfDay >= 0 && *r.minuteOfDay < 1440));
        EXPECT_TRUE(!r.day || (*r.day >= FirstValidDay && *r.day <= LastValidDay));
        if (!r.accepted())
            continue;
        ++accepted;
        EXPECT_TRUE(r.day && r.minuteOfDay && r.repeat && !r.note.empty()) << text;
        const QuickEntry e = r.entry();
        EXPECT_GE(e.day * 1440 + e.minuteOfDay,
                  static_cast<std::int64_t>(ToDayCount(ctx.now)) * 1440 + ctx.now.hour * 60 + ctx.now.minute);
        const std::string ansi = cp.fromUtf8(e.note);
        EXPECT_LE(ansi.size(), static_cast<std::size_t>(QuickNoteLimit));
        EXPECT_EQ(cp.toUtf8(ansi), e.note) << "the note must fit the code page";
        for (unsigned char c : ansi)
            EXPECT_TRUE(c >= 0x20 && c != 0x7F) << text;
        const QuickReading back = ReadQuickEntry(QuickEntryLine(e, ctx), ctx);
        EXPECT_TRUE(back.accepted()) << text << " -> " << QuickEntryLine(e, ctx) << ": " << back.error;
        EXPECT_EQ(back.entry(), e) << text << " -> " << QuickEntryLine(e, ctx);
        if (::testing::Test::HasFailure())
            break;
    }
    return accepted;
}

} // namespace

TEST(RandomQuickEntry, HostileLinesNeverFaultAndAcceptedOnesReadBack) {
    if (const char* s = std::getenv("TELLWICK_RANDOM_SEED")) {
        RunRound(std::strtoull(s, nullptr, 10));
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    int accepted = 0;
    for (std::uint64_t seed = 1; seed <= 50; ++seed) {
        accepted += RunRound(seed);
        if (HasFailure())
            return;
    }
    EXPECT_GT(accepted, 200); // the read-back was tried often
    // Linear in the length of the line: 20,000 lines, 400 of them of 100,000 characters, in well
    // under a minute even under the sanitizers.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}
