// Names and separators from the session's locale, and the English fallback when the locale is
// missing or is not UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/posix/PosixLocale.h"
#include "store/DateFormat.h"

using tw::platform::PosixLocale;

namespace {

// Sets LC_ALL for one test and puts the old value back.
class ScopedLcAll {
public:
    explicit ScopedLcAll(const char* value) {
        if (const char* old = std::getenv("LC_ALL"))
            m_old = old;
        ::setenv("LC_ALL", value, 1);
    }
    ~ScopedLcAll() {
        if (m_old)
            ::setenv("LC_ALL", m_old->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> m_old;
};

void ExpectEnglish(const PosixLocale& l) {
    EXPECT_EQ(l.longMonthName(1), "January");
    EXPECT_EQ(l.longMonthName(12), "December");
    EXPECT_EQ(l.shortMonthName(5), "May");
    EXPECT_EQ(l.shortMonthName(9), "Sep");
    EXPECT_EQ(l.longDayName(1), "Sunday");
    EXPECT_EQ(l.shortDayName(7), "Sat");
    EXPECT_EQ(l.dateSeparator(), "/");
    EXPECT_EQ(l.timeSeparator(), ":");
}

} // namespace

TEST(PosixLocale, CUtf8GivesEnglishNamesAndTheUsualSeparators) {
    ScopedLcAll lc("C.UTF-8");
    const PosixLocale l;
    ExpectEnglish(l);
    const double v = 46364.0 + 9.0 / 24 + 5.0 / 1440;
    EXPECT_EQ(tw::FormatDateTime("mmmm dd yyyy h:mm", v, l), "December 08 2026 9:05");
    EXPECT_EQ(l.shortDateFormat(), "mm/dd/yy"); // D_FMT "%m/%d/%y": typed numeric dates are month first
}

TEST(PosixLocale, FallsBackToEnglishForAMissingOrNonUtf8Locale) {
    {
        ScopedLcAll lc("xx_NOWHERE.UTF-8");
        ExpectEnglish(PosixLocale());
    }
    {
        ScopedLcAll lc("C"); // ASCII: names from it could not be shown as UTF-8 anyway
        ExpectEnglish(PosixLocale());
    }
}

TEST(PosixLocale, OutOfRangeIndexesGiveEmptyNames) {
    const PosixLocale l;
    EXPECT_EQ(l.longMonthName(0), "");
    EXPECT_EQ(l.shortMonthName(13), "");
    EXPECT_EQ(l.longDayName(0), "");
    EXPECT_EQ(l.shortDayName(8), "");
}
