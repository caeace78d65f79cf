// The quick-entry reader and the line that says what will be stored.
#include "store/QuickEntry.h"

#include <array>
#include <cstdio>
#include <vector>

#include "store/DateFormat.h"
#include "store/DayCount.h"

namespace tw {

namespace {

// Words after which the note has certainly begun: each kind (day, time, repeat) is read once, and
// the words of one kind take at most four words ("next fri", "24 dec 2027", "in 20 min").
constexpr std::size_t MaxTokens = 24;
// "in 9999999 days" reaches past the year 9999; more digits are not a span.
constexpr std::size_t MaxSpanDigits = 7;

struct Token {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view text; // as typed
    std::string lower;     // ASCII letters lowered
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool AllDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}
// The value of a run of at most 9 digits.
int Number(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// Decodes one UTF-8 character at s[i]; false for a byte sequence that is not UTF-8 (overlong
// forms, surrogates and values past U+10FFFF included).
bool NextCodePoint(std::string_view s, std::size_t& i, char32_t& cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t min = 0;
    if (b < 0x80) {
        cp = b;
        ++i;
        return true;
    }
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        cp = b & 0x1F;
        min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        cp = b & 0x0F;
        min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        cp = b & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - i <= static_cast<std::size_t>(extra))
        return false;
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < s.size())
        if (!NextCodePoint(s, i, cp))
            return false;
    return true;
}

// A part of the line for a message: in quotes, at most 40 characters ("..." for the rest), and
// characters that would break the message's one line shown as U+FFFD.
std::string Quoted(std::string_view s) {
    constexpr int MaxShown = 40;
    std::string out = "\"";
    std::size_t i = 0;
    int shown = 0;
    char32_t cp = 0;
    while (i < s.size()) {
        if (shown == MaxShown) {
            out += "...";
            break;
        }
        const std::size_t start = i;
        if (!NextCodePoint(s, i, cp)) {
            ++i;
            cp = 0;
        }
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp == 0x2028 || cp == 0x2029)
            out += "\xEF\xBF\xBD";
        else
            out.append(s.substr(start, i - start));
        ++shown;
    }
    return out + "\"";
}

std::string HexCode(char32_t cp) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "U+";
    for (int shift = cp > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        out += digits[(cp >> shift) & 0xF];
    return out;
}

// 1 Monday .. 7 Sunday; day 0 (30 December 1899) was a Saturday.
int IsoWeekdayOf(std::int64_t day) {
    return static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;
}

std::optional<int> WeekdayNumber(std::string_view w) {
    static constexpr std::array<std::string_view, 7> names = {"monday", "tuesday",  "wednesday", "thursday",
                                                              "friday", "saturday", "sunday"};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (w == names[i] || w == names[i].substr(0, 3))
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

constexpr std::array<std::string_view, 12> EnglishMonths = {"january",   "february", "march",    "april",
                                                            "may",       "june",     "july",     "august",
                                                            "september", "october",  "november", "december"};

std::optional<int> EnglishMonth(std::string_view w) {
    for (std::size_t i = 0; i < EnglishMonths.size(); ++i)
        if (w == EnglishMonths[i] || w == EnglishMonths[i].substr(0, 3))
            return static_cast<int>(i) + 1;
    if (w == "sept")
        return 9;
    return std::nullopt;
}

// A day of the month as written before or after a month name: "24", "24th", "1st"; a comma may
// follow ("dec 24, 2027").
std::optional<int> DayOfMonthWord(std::string_view w) {
    if (!w.empty() && w.back() == ',')
        w.remove_suffix(1);
    std::size_t n = 0;
    while (n < w.size() && IsDigit(w[n]))
        ++n;
    if (n == 0 || n > 2)
        return std::nullopt;
    const std::string_view rest = w.substr(n);
    if (!rest.empty() && rest != "st" && rest != "nd" && rest != "rd" && rest != "th")
        return std::nullopt;
    return Number(w.substr(0, n));
}

std::string_view WithoutComma(std::string_view w) {
    if (!w.empty() && w.back() == ',')
        w.remove_suffix(1);
    return w;
}

// The year of a two-digit year: the one within fifty years of the present year.
int WindowedYear(int yy, int nowYear) {
    const int first = nowYear - 50;
    return first + ((yy - first) % 100 + 100) % 100;
}

enum class Parse { No, Bad, Ok };

} // namespace

double QuickEntry::time() const {
    return EncodeTime(minuteOfDay / 60, minuteOfDay % 60, 0, 0);
}

QuickEntry QuickReading::entry() const {
    QuickEntry e;
    e.day = day.value_or(0);
    e.minuteOfDay = minuteOfDay.value_or(0);
    e.repeat = repeat.value_or(Repeat::Once);
    e.note = note;
    return e;
}

namespace {

class Reader {
public:
    Reader(std::string_view text, const QuickEntryContext& ctx) : m_text(text), m_ctx(ctx) {
        const auto today = EncodeDate(ctx.now.year, ctx.now.month, ctx.now.day);
        m_today = today ? static_cast<std::int64_t>(*today) : 0;
        m_nowMinute = ctx.now.hour * 60 + ctx.now.minute;
        tokenize();
        for (std::string_view sep : {std::string_view("/"), std::string_view("-"), std::string_view(".")})
            m_dateSeps.emplace_back(sep);
        if (const std::string s = ctx.locale.dateSeparator(); !s.empty() && s != "/" && s != "-" && s != ".")
            m_dateSeps.push_back(s);
        m_timeSeps = {":", "."};
        if (const std::string s = ctx.locale.timeSeparator(); !s.empty() && s != ":" && s != ".")
            m_timeSeps.push_back(s);
        for (int m = 1; m <= 12; ++m) {
            m_monthNames.push_back({std::string(EnglishMonths[static_cast<std::size_t>(m - 1)]), m});
            m_monthNames.push_back({std::string(EnglishMonths[static_cast<std::size_t>(m - 1)].substr(0, 3)), m});
            for (const std::string& name : {ctx.locale.shortMonthName(m), ctx.locale.longMonthName(m)})
                if (!name.empty())
                    m_monthNames.push_back({Lower(name), m});
        }
        m_monthNames.push_back({"sept", 9});
        m_dateOrder = DateOrder(ctx.locale.shortDateFormat());
    }

    QuickReading run() {
        QuickReading out;
        readWords();
        out.repeat = m_repeat;
        if (!m_error.empty()) {
            resolve(out);
            out.error = m_error;
            return out;
        }
        if (!m_minute && m_spanDays)
            m_minute = m_nowMinute; // "in 3 days": at the present time of day
        resolve(out);
        if (!m_error.empty()) {
            out.error = m_error;
            return out;
        }
        // The note is reported only when the files can take it.
        const std::string_view note = trimmedNote();
        const std::string noteError = note.empty() ? std::string() : checkNote(note);
        if (noteError.empty())
            out.note = std::string(note);
        if (!out.minuteOfDay)
            out.error = "No time of day";
        else if (note.empty())
            out.error = "No note";
        else
            out.error = noteError;
        if (out.error.empty() && !out.repeat)
            out.repeat = Repeat::Once;
        return out;
    }

private:
    enum class DayKind { None, Date, Offset, Weekday };

    void tokenize() {
        std::size_t i = 0;
        while (m_tokens.size() < MaxTokens) {
            while (i < m_text.size() && m_text[i] == ' ')
                ++i;
            if (i >= m_text.size())
                break;
            const std::size_t begin = i;
            while (i < m_text.size() && m_text[i] != ' ')
                ++i;
            Token t;
            t.begin = begin;
            t.end = i;
            t.text = m_text.substr(begin, i - begin);
            t.lower = Lower(t.text);
            m_tokens.push_back(std::move(t));
        }
    }

    std::string_view lower(std::size_t i) const { return i < m_tokens.size() ? m_tokens[i].lower : std::string_view(); }
    std::string_view textOf(std::size_t first, std::size_t count) const {
        const std::size_t last = std::min(first + count, m_tokens.size()) - 1;
        return m_text.substr(m_tokens[first].begin, m_tokens[last].end - m_tokens[first].begin);
    }

    bool haveDay() const { return m_dayKind != DayKind::None; }

    // Reads the words of the day, the time and the repeat; stops at the first other word (or a
    // second word of a kind already read), where the note begins, or at a word not understood.
    void readWords() {
        std::size_t i = 0;
        while (i < m_tokens.size() && m_error.empty()) {
            const std::size_t used = readOne(i);
            if (used == 0)
                break;
            i += used;
        }
        m_noteStart = i < m_tokens.size() ? m_tokens[i].begin : m_text.size();
    }

    // The number of words the phrase at word i takes; 0 when the note begins there.
    std::size_t readOne(std::size_t i) {
        const std::string_view w = lower(i);
        if (w == "today" || w == "tomorrow") {
            if (haveDay())
                return 0;
            setOffset(w == "today" ? 0 : 1, i, 1);
            return 1;
        }
        if (const auto wd = WeekdayNumber(w)) {
            if (haveDay())
                return 0;
            setWeekday(*wd, false, i, 1);
            return 1;
        }
        if (w == "next") {
            const auto wd = WeekdayNumber(lower(i + 1));
            if (!wd || haveDay())
                return 0;
            setWeekday(*wd, true, i, 2);
            return 2;
        }
        if (w == "once") {
            if (m_repeat)
                return 0;
            m_repeat = Repeat::Once;
            return 1;
        }
        if (w == "every")
            return readRepeat(i);
        if (w == "in")
            return readSpan(i);
        if (w == "at") {
            if (m_minute)
                return 0;
            const Parse p = readTime(i + 1);
            return p == Parse::Ok ? 1 + m_timeWords : p == Parse::Bad ? 1 : 0;
        }
        if (const std::size_t n = readDate(i); n > 0 || !m_error.empty())
            return n;
        if (!m_minute) {
            const Parse p = readTime(i);
            return p == Parse::Ok ? m_timeWords : p == Parse::Bad ? 1 : 0;
        }
        return 0;
    }

    std::size_t readRepeat(std::size_t i) {
        if (m_repeat)
            return 0;
        const std::string_view w = lower(i + 1);
        static constexpr std::array<std::pair<std::string_view, Repeat>, 5> words = {{{"day", Repeat::EveryDay},
                                                                                      {"weekday", Repeat::EveryWeekday},
                                                                                      {"week", Repeat::EveryWeek},
                                                                                      {"month", Repeat::EveryMonth},
                                                                                      {"year", Repeat::EveryYear}}};
        for (const auto& [word, rule] : words) {
            if (w == word) {
                m_repeat = rule;
                return 2;
            }
        }
        if (const auto wd = WeekdayNumber(w)) {
            // "every monday": weekly, from the next Monday.
            if (haveDay())
                return 0;
            m_repeat = Repeat::EveryWeek;
            setWeekday(*wd, false, i + 1, 1);
            return 2;
        }
        m_error = "Repeat not understood: " + Quoted(textOf(i, 2));
        return 0;
    }

    std::size_t readSpan(std::size_t i) {
        const std::string_view n = lower(i + 1);
        std::size_t digits = 0;
        while (digits < n.size() && IsDigit(n[digits]))
            ++digits;
        std::string_view unit;
        std::size_t words = 0;
        long long count = 0;
        if (n == "a" || n == "an") {
            count = 1;
            unit = lower(i + 2);
            words = 3;
        } else if (digits > 0) {
            if (digits > MaxSpanDigits) {
                m_error = "Span not understood: " + Quoted(textOf(i, 2));
                return 0;
            }
            count = Number(n.substr(0, digits));
            unit = n.substr(digits);
            words = 2;
            if (unit.empty()) {
                unit = lower(i + 2);
                words = 3;
            }
        } else {
            return 0; // "in the office": the note
        }
        long long minutes = 0;
        long long days = 0;
        if (unit == "m" || unit == "min" || unit == "mins" || unit == "minute" || unit == "minutes")
            minutes = count;
        else if (unit == "h" || unit == "hr" || unit == "hrs" || unit == "hour" || unit == "hours")
            minutes = count * 60;
        else if (unit == "d" || unit == "day" || unit == "days")
            days = count;
        else if (unit == "w" || unit == "week" || unit == "weeks")
            days = count * 7;
        else if (n == "a" || n == "an")
            return 0; // "in a hurry": the note
        else {
            m_error = "Span not understood: " + Quoted(textOf(i, words));
            return 0;
        }
        if (days > 0 || minutes == 0) {
            if (haveDay())
                return 0;
            m_spanDays = true;
            setOffset(days, i, words);
            return words;
        }
        if (haveDay() || m_minute)
            return 0;
        // A span of minutes or hours gives the day and the time, on the local wall clock.
        const double at = ToDayCount(m_ctx.now) + static_cast<double>(minutes) / 1440.0;
        const auto t = FromDayCount(at);
        if (!t) {
            m_error = "No such date: " + Quoted(textOf(i, words));
            return 0;
        }
        setDate(t->year, t->month, t->day, i, words);
        m_minute = t->hour * 60 + t->minute;
        return words;
    }

    // A time at word i ("9", "9:30", "9.30pm", "noon", "9 am"): sets m_minute and m_timeWords.
    Parse readTime(std::size_t i) {
        const std::string_view w = lower(i);
        m_timeWords = 1;
        if (w == "noon" || w == "midnight") {
            m_minute = w == "noon" ? 12 * 60 : 0;
            return Parse::Ok;
        }
        if (w.empty() || !IsDigit(w[0]))
            return Parse::No;
        // Time-like: digits, time separators and the letters of am and pm only.
        for (char c : w) {
            bool sepChar = false;
            for (const std::string& sep : m_timeSeps)
                sepChar = sepChar || sep.find(c) != std::string::npos;
            if (!IsDigit(c) && !sepChar && c != 'a' && c != 'p' && c != 'm')
                return Parse::No;
        }
        std::size_t p = 0;
        while (p < w.size() && IsDigit(w[p]))
            ++p;
        int hour = p <= 2 ? Number(w.substr(0, p)) : -1;
        int minute = 0;
        std::string_view rest = w.substr(p);
        for (const std::string& sep : m_timeSeps) {
            if (rest.starts_with(sep)) {
                const std::string_view mm = rest.substr(sep.size(), 2);
                if (mm.size() != 2 || !AllDigits(mm)) {
                    hour = -1;
                    break;
                }
                minute = Number(mm);
                rest = rest.substr(sep.size() + 2);
                break;
            }
        }
        std::string_view suffix = rest;
        if (suffix.empty() && (lower(i + 1) == "am" || lower(i + 1) == "pm")) {
            suffix = lower(i + 1);
            m_timeWords = 2;
        }
        bool ok = hour >= 0 && minute <= 59;
        if (ok && !suffix.empty()) {
            if ((suffix != "am" && suffix != "pm") || hour < 1 || hour > 12)
                ok = false;
            else
                hour = hour % 12 + (suffix == "pm" ? 12 : 0);
        }
        if (!ok || hour > 23) {
            m_error = "Time not understood: " + Quoted(textOf(i, m_timeWords));
            return Parse::Bad;
        }
        m_minute = hour * 60 + minute;
        return Parse::Ok;
    }

    // A date at word i: "24 dec [2027]", "dec 24 [2027]", "2027-01-15", "09/Dec/26", "15.01.2027".
    // The number of words taken; 0 with m_error set for a date that does not exist.
    std::size_t readDate(std::size_t i) {
        const std::string_view w = lower(i);
        if (const auto d = DayOfMonthWord(w)) {
            if (const auto m = EnglishMonth(WithoutComma(lower(i + 1))))
                return haveDay() ? 0 : dayMonth(*d, *m, i, 2);
        }
        if (const auto m = EnglishMonth(WithoutComma(w))) {
            if (const auto d = DayOfMonthWord(lower(i + 1)))
                return haveDay() ? 0 : dayMonth(*d, *m, i, 2);
        }
        if (w.empty() || !IsDigit(w[0]))
            return 0;
        int y = 0, m = 0, d = 0;
        const Parse p = numericDate(w, y, m, d);
        if (p == Parse::No)
            return 0;
        if (haveDay())
            return 0;
        if (p == Parse::Bad) {
            m_error = "Date not understood: " + Quoted(textOf(i, 1));
            return 0;
        }
        if (!EncodeDate(y, m, d)) {
            m_error = "No such date: " + Quoted(textOf(i, 1));
            return 0;
        }
        setDate(y, m, d, i, 1);
        return 1;
    }

    std::size_t dayMonth(int d, int m, std::size_t i, std::size_t words) {
        const std::string_view year = lower(i + words);
        int y = 0;
        if (year.size() == 4 && AllDigits(year)) {
            y = Number(year);
            ++words;
        }
        // Without a year the date only has to exist in some year (29 February).
        if (d < 1 || d > DaysInMonth(m, y != 0 ? y : 2000) || (y != 0 && !EncodeDate(y, m, d))) {
            m_error = "No such date: " + Quoted(textOf(i, words));
            return 0;
        }
        setDate(y, m, d, i, words);
        return words;
    }

    // The date formats of one word: ISO, the list's "dd/mmm/yy" (any of the separators, English or
    // the locale's month names) and the locale's numeric short date. No: not a date of three parts.
    Parse numericDate(std::string_view w, int& y, int& m, int& d) const {
        std::size_t p = 0;
        while (p < w.size() && IsDigit(w[p]))
            ++p;
        const std::string_view first = w.substr(0, p);
        const std::string_view afterFirst = w.substr(p);
        // "09/dec/26": a month name between two separators.
        for (const std::string& s1 : m_dateSeps) {
            if (!afterFirst.starts_with(s1))
                continue;
            const std::string_view rest = afterFirst.substr(s1.size());
            for (const auto& [name, month] : m_monthNames) {
                if (!rest.starts_with(name))
                    continue;
                const std::string_view afterName = rest.substr(name.size());
                for (const std::string& s2 : m_dateSeps) {
                    if (!afterName.starts_with(s2))
                        continue;
                    const std::string_view year = afterName.substr(s2.size());
                    if (AllDigits(year) && first.size() <= 2 && (year.size() == 2 || year.size() == 4)) {
                        d = Number(first);
                        m = month;
                        y = year.size() == 2 ? WindowedYear(Number(year), m_ctx.now.year) : Number(year);
                        return Parse::Ok;
                    }
                }
            }
        }
        // Three runs of digits between separators.
        std::array<std::string_view, 3> parts;
        std::size_t count = 0;
        std::size_t at = 0;
        while (true) {
            std::size_t q = at;
            while (q < w.size() && IsDigit(w[q]))
                ++q;
            if (count == 3)
                return Parse::Bad;
            parts[count++] = w.substr(at, q - at);
            if (q == w.size())
                break;
            std::size_t sepLen = 0;
            for (const std::string& s : m_dateSeps)
                if (w.substr(q).starts_with(s))
                    sepLen = s.size();
            if (sepLen == 0)
                return count == 3 ? Parse::Bad : Parse::No;
            at = q + sepLen;
        }
        if (count < 3)
            return Parse::No;
        for (std::string_view part : parts)
            if (part.empty() || part.size() > 4)
                return Parse::Bad;
        std::array<int, 3> order = m_dateOrder; // positions of day, month, year
        if (parts[0].size() == 4)
            order = {2, 1, 0};
        const std::string_view yearPart = parts[static_cast<std::size_t>(order[2])];
        const std::string_view dayPart = parts[static_cast<std::size_t>(order[0])];
        const std::string_view monthPart = parts[static_cast<std::size_t>(order[1])];
        if ((yearPart.size() != 2 && yearPart.size() != 4) || dayPart.size() > 2 || monthPart.size() > 2)
            return Parse::Bad;
        d = Number(dayPart);
        m = Number(monthPart);
        y = yearPart.size() == 2 ? WindowedYear(Number(yearPart), m_ctx.now.year) : Number(yearPart);
        return Parse::Ok;
    }

    // Positions of the day, the month and the year in a short date pattern ("mm/dd/yy": 1, 0, 2).
    static std::array<int, 3> DateOrder(std::string_view pattern) {
        std::array<int, 3> order = {0, 1, 2};
        std::array<std::size_t, 3> at = {std::string_view::npos, std::string_view::npos, std::string_view::npos};
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const char c = static_cast<char>(pattern[i] | 0x20);
            const int k = c == 'd' ? 0 : c == 'm' ? 1 : c == 'y' ? 2 : -1;
            if (k >= 0 && at[static_cast<std::size_t>(k)] == std::string_view::npos)
                at[static_cast<std::size_t>(k)] = i;
        }
        if (at[0] == std::string_view::npos || at[1] == std::string_view::npos || at[2] == std::string_view::npos)
            return order;
        for (std::size_t k = 0; k < 3; ++k) {
            int rank = 0;
            for (std::size_t j = 0; j < 3; ++j)
                rank += at[j] < at[k] ? 1 : 0;
            order[k] = rank;
        }
        return order;
    }

    void setOffset(long long days, std::size_t i, std::size_t words) {
        m_dayKind = DayKind::Offset;
        m_offset = days;
        m_dayWords = textOf(i, words);
    }
    void setWeekday(int wd, bool strict, std::size_t i, std::size_t words) {
        m_dayKind = DayKind::Weekday;
        m_weekday = wd;
        m_strict = strict;
        m_dayWords = textOf(i, words);
    }
    void setDate(int y, int m, int d, std::size_t i, std::size_t words) {
        m_dayKind = DayKind::Date;
        m_year = y;
        m_month = m;
        m_dayOfMonth = d;
        m_dayWords = textOf(i, words);
    }

    bool ahead(std::int64_t day, int minute) const { return day * 1440 + minute > m_today * 1440 + m_nowMinute; }

    // The day the words name, at the time read (or, without one, as if the time were still ahead).
    std::optional<std::int64_t> dayOf(std::optional<int> minute) const {
        const int at = minute.value_or(m_nowMinute + 1);
        switch (m_dayKind) {
        case DayKind::None: {
            if (!minute)
                return std::nullopt;
            std::int64_t day = ahead(m_today, at) ? m_today : m_today + 1;
            if (m_repeat == Repeat::EveryWeekday)
                while (IsoWeekdayOf(day) > 5)
                    ++day;
            return day;
        }
        case DayKind::Offset:
            return m_today + m_offset;
        case DayKind::Weekday: {
            std::int64_t day = m_today + (m_strict ? 1 : 0);
            day += (m_weekday - IsoWeekdayOf(day) + 7) % 7;
            if (day == m_today && !ahead(day, at))
                day += 7;
            return day;
        }
        case DayKind::Date:
            if (m_year != 0)
                return static_cast<std::int64_t>(*EncodeDate(m_year, m_month, m_dayOfMonth));
            // The next such date: this year while it is still ahead, else the next year it exists.
            for (int y = m_ctx.now.year; y <= m_ctx.now.year + 8 && y <= 9999; ++y) {
                const auto d = EncodeDate(y, m_month, m_dayOfMonth);
                if (d && ahead(static_cast<std::int64_t>(*d), at))
                    return static_cast<std::int64_t>(*d);
            }
            return std::nullopt;
        }
        return std::nullopt;
    }

    void resolve(QuickReading& out) {
        out.minuteOfDay = m_minute;
        const auto day = dayOf(m_minute);
        if (!day) {
            if (m_dayKind != DayKind::None && m_error.empty())
                m_error = "No such date: " + Quoted(m_dayWords);
            return;
        }
        if (*day < FirstValidDay || *day > LastValidDay) {
            if (m_error.empty())
                m_error = "No such date: " + Quoted(m_dayWords);
            return;
        }
        out.day = day;
        if (!m_minute || !m_error.empty())
            return;
        // A time the clock skips (daylight saving time begins) is the first minute after the gap. A
        // series keeps the time typed, since its rule is taken from its first occurrence.
        if (m_ctx.zone != nullptr && m_repeat.value_or(Repeat::Once) == Repeat::Once) {
            const auto date = DecodeDate(static_cast<double>(*day));
            const platform::LocalTime wall{date->year, date->month, date->day, *m_minute / 60, *m_minute % 60, 0, 0};
            const platform::LocalTime t = m_ctx.zone->firstExistingMinute(wall);
            const auto moved = EncodeDate(t.year, t.month, t.day);
            if (!moved) {
                m_error = "No such date: " + Quoted(m_dayWords);
                return;
            }
            out.day = static_cast<std::int64_t>(*moved);
            out.minuteOfDay = t.hour * 60 + t.minute;
        }
        if (*out.day * 1440 + *out.minuteOfDay < m_today * 1440 + m_nowMinute) {
            const double at =
                static_cast<double>(*out.day) + EncodeTime(*out.minuteOfDay / 60, *out.minuteOfDay % 60, 0, 0);
            m_error = "In the past: " + FormatDateTime("dd/mmm/yy hh:nn", at, m_ctx.locale);
        }
    }

    std::string_view trimmedNote() const {
        std::string_view note = m_text.substr(m_noteStart);
        while (!note.empty() && note.back() == ' ')
            note.remove_suffix(1);
        return note;
    }

    // The note as the files take it: one line, at most QuickNoteLimit characters of the code page.
    std::string checkNote(std::string_view note) const {
        std::size_t i = 0;
        int count = 0;
        char32_t cp = 0;
        while (i < note.size()) {
            NextCodePoint(note, i, cp); // the text was checked to be UTF-8
            ++count;
            if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
                return "Note: control character " + HexCode(cp);
        }
        if (count > QuickNoteLimit)
            return "Note too long: " + std::to_string(count) + " characters, at most " + std::to_string(QuickNoteLimit);
        i = 0;
        while (i < note.size()) {
            const std::size_t start = i;
            NextCodePoint(note, i, cp);
            const std::string_view ch = note.substr(start, i - start);
            if (cp >= 0x80 && m_ctx.codePage.fromUtf8(ch) == "?")
                return "Note: " + Quoted(ch) + " cannot be stored";
        }
        return {};
    }

    std::string_view m_text;
    const QuickEntryContext& m_ctx;
    std::vector<Token> m_tokens;
    std::vector<std::string> m_dateSeps;
    std::vector<std::string> m_timeSeps;
    std::vector<std::pair<std::string, int>> m_monthNames;
    std::array<int, 3> m_dateOrder = {0, 1, 2};
    std::int64_t m_today = 0;
    int m_nowMinute = 0;

    DayKind m_dayKind = DayKind::None;
    std::string_view m_dayWords;
    long long m_offset = 0;
    bool m_spanDays = false;
    int m_weekday = 1;
    bool m_strict = false;
    int m_year = 0;
    int m_month = 1;
    int m_dayOfMonth = 1;
    std::optional<int> m_minute;
    std::size_t m_timeWords = 1;
    std::optional<Repeat> m_repeat;
    std::size_t m_noteStart = 0;
    std::string m_error;
};

} // namespace

QuickReading ReadQuickEntry(std::string_view utf8, const QuickEntryContext& ctx) {
    if (!IsUtf8(utf8)) {
        QuickReading r;
        r.error = "Not UTF-8 text";
        return r;
    }
    // Tabs and line breaks separate words as blanks do: the note is one line.
    std::string text(utf8);
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
            c = ' ';
    return Reader(text, ctx).run();
}

std::string QuickEntryLine(const QuickEntry& e, const QuickEntryContext& ctx) {
    const auto date = DecodeDate(e.date());
    const bool shortYear = date && date->year >= ctx.now.year - 50 && date->year <= ctx.now.year + 49;
    const std::string rest = std::string(" ") + std::string(RepeatText(e.repeat)) + " " + e.note;
    const std::string line = FormatDateTime(shortYear ? "dd/mmm/yy" : "dd/mmm/yyyy", e.date(), ctx.locale) + " " +
                             FormatDateTime("hh:nn", e.date() + e.time(), ctx.locale) + rest;
    const QuickReading back = ReadQuickEntry(line, ctx);
    if (back.accepted() && back.entry() == e)
        return line;
    // A locale whose list format cannot be read back (no date separator, a month name holding
    // one): ISO date and a plain time, which always can.
    char plain[32];
    std::snprintf(plain, sizeof plain, "%04d-%02d-%02d %02d:%02d", date ? date->year : 0, date ? date->month : 0,
                  date ? date->day : 0, e.minuteOfDay / 60, e.minuteOfDay % 60);
    return plain + rest;
}

} // namespace tw
