// Writing and reading the saved activity log.
#include "activity/ActivityCsv.h"

#include <cmath>
#include <cstdio>

#include "store/DateFormat.h"

namespace tw {

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr const char* Header[] = {"Date", "Start time", "Title", "Time", "Seconds"};
constexpr std::size_t FieldCount = 5;
constexpr long long MaxSeconds = 10LL * 366 * 86400;

// A title that a spreadsheet would take for a formula gets a leading apostrophe; so does one that
// already begins with an apostrophe, so that reading strips exactly one and gives the title back.
bool NeedsGuard(std::string_view s) {
    if (s.empty())
        return false;
    const char c = s.front();
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == '\'';
}

void AppendField(std::string& out, std::string_view field) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string_view::npos || field.empty() ||
                       field.front() == ' ' || field.back() == ' ';
    if (!quote) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        AppendField(out, fields[i]);
    }
    out += "\r\n";
}

std::string Clock(long long seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buf;
}

struct Record {
    std::vector<std::string> fields;
    int line = 0;
    bool broken = false; // an opening quote that never closes
};

// RFC 4180 records; line ends CRLF, LF or CR; line breaks inside quotes belong to the field.
std::vector<Record> ParseCsv(std::string_view s) {
    std::vector<Record> records;
    std::size_t i = 0;
    int line = 1;
    auto atLineEnd = [&](std::size_t at) { return at < s.size() && (s[at] == '\r' || s[at] == '\n'); };
    auto skipLineEnd = [&]() {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            ++i;
        ++i;
        ++line;
    };
    while (i < s.size()) {
        Record r;
        r.line = line;
        std::string field;
        bool done = false;
        while (!done) {
            if (i < s.size() && s[i] == '"') {
                ++i;
                bool closed = false;
                while (i < s.size()) {
                    if (s[i] == '"') {
                        if (i + 1 < s.size() && s[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n')))
                        ++line;
                    field += s[i++];
                }
                if (!closed) {
                    r.broken = true;
                    r.fields.push_back(std::move(field));
                    records.push_back(std::move(r));
                    return records;
                }
                // Text after a closing quote is kept as it stands, up to the next separator.
                while (i < s.size() && s[i] != ',' && !atLineEnd(i))
                    field += s[i++];
            } else {
                while (i < s.size() && s[i] != ',' && !atLineEnd(i))
                    field += s[i++];
            }
            r.fields.push_back(std::move(field));
            field.clear();
            if (i < s.size() && s[i] == ',') {
                ++i;
                continue;
            }
            if (i < s.size())
                skipLineEnd();
            done = true;
        }
        if (!(r.fields.size() == 1 && r.fields[0].empty()))
            records.push_back(std::move(r));
    }
    return records;
}

bool ParseSeconds(const std::string& text, long long& out) {
    if (text.empty() || text.size() > 12)
        return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v > MaxSeconds)
        return false;
    out = v;
    return true;
}

// hh:mm:ss with any number of hour digits.
bool ParseClock(const std::string& text, long long& out) {
    int parts[3] = {0, 0, 0};
    int part = 0;
    bool digit = false;
    long long hours = 0;
    for (char c : text) {
        if (c == ':') {
            if (!digit || part == 2)
                return false;
            ++part;
            digit = false;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        digit = true;
        if (part == 0) {
            hours = hours * 10 + (c - '0');
            if (hours > MaxSeconds / 3600)
                return false;
        } else {
            parts[part] = parts[part] * 10 + (c - '0');
            if (parts[part] > 59)
                return false;
        }
    }
    if (part != 2 || !digit)
        return false;
    out = hours * 3600 + parts[1] * 60 + parts[2];
    return true;
}

bool IsHeader(const std::vector<std::string>& fields) {
    if (fields.size() != FieldCount)
        return false;
    for (std::size_t i = 0; i < FieldCount; ++i)
        if (fields[i] != Header[i])
            return false;
    return true;
}

} // namespace

std::string WriteActivityCsv(const std::vector<DayRoot>& roots, const platform::CodePage& codePage) {
    std::string out(Bom);
    AppendRow(out, {Header[0], Header[1], Header[2], Header[3], Header[4]});
    for (const DayRoot& root : roots) {
        const std::string date = codePage.toUtf8(root.dateText);
        const std::string start = codePage.toUtf8(root.timeText);
        if (root.children.empty()) {
            AppendRow(out, {date, start, "", "", ""});
            continue;
        }
        for (const ActivityNode& node : root.children) {
            const long long seconds = std::llround(node.entry.Elapsed * 86400.0);
            std::string title = codePage.toUtf8(node.entry.Title);
            if (NeedsGuard(title))
                title.insert(0, 1, '\'');
            AppendRow(out, {date, start, title, Clock(seconds), std::to_string(seconds)});
        }
    }
    return out;
}

ActivityCsvResult ReadActivityCsv(std::string_view data, const platform::CodePage& codePage,
                                  const platform::Locale& locale) {
    ActivityCsvResult result;
    if (data.substr(0, Bom.size()) == Bom)
        data.remove_prefix(Bom.size());
    std::vector<Record> records = ParseCsv(data);
    auto bad = [&](int line) {
        if (result.badRows++ == 0)
            result.firstBadLine = line;
    };
    std::size_t first = 0;
    bool headerMissing = false;
    if (!records.empty() && IsHeader(records[0].fields)) {
        first = 1;
    } else if (!records.empty()) {
        // Reported once; the first row is still read, since it may be data whose header was lost.
        bad(records[0].line);
        headerMissing = true;
    }
    auto badRow = [&](std::size_t i, int line) {
        if (!(headerMissing && i == 0))
            bad(line);
    };

    for (std::size_t i = first; i < records.size(); ++i) {
        const Record& r = records[i];
        if (r.broken || r.fields.size() != FieldCount || r.fields[0].empty() || r.fields[1].empty()) {
            badRow(i, r.line);
            continue;
        }
        const std::string date = CutText(codePage.fromUtf8(r.fields[0]), MaxNodeText);
        const std::string start = CutText(codePage.fromUtf8(r.fields[1]), MaxNodeText);
        const bool rootOnly = r.fields[2].empty() && r.fields[3].empty() && r.fields[4].empty();
        long long seconds = 0;
        if (!rootOnly) {
            const bool ok = r.fields[4].empty() ? ParseClock(r.fields[3], seconds) : ParseSeconds(r.fields[4], seconds);
            if (!ok || r.fields[2].empty()) {
                badRow(i, r.line);
                continue;
            }
        }
        if (result.roots.empty() || result.roots.back().dateText != date || result.roots.back().timeText != start) {
            DayRoot root;
            root.dateText = date;
            root.timeText = start;
            root.text = CutText(date + std::string(StartInText) + start, MaxNodeText);
            result.roots.push_back(std::move(root));
        }
        if (rootOnly)
            continue;
        std::string title = r.fields[2];
        if (title.size() > 1 && title.front() == '\'' && NeedsGuard(std::string_view(title).substr(1)))
            title.erase(0, 1);
        ActivityNode node;
        node.entry.Window = 0;
        node.entry.Elapsed = static_cast<double>(seconds) / 86400.0;
        node.entry.Title = CutText(codePage.fromUtf8(title), TitleBufferSize - 1);
        std::string text = codePage.fromUtf8(FormatDateTime("hh:nn:ss", node.entry.Elapsed, locale));
        text += EntrySeparator;
        text += node.entry.Title;
        node.text = std::move(text);
        result.roots.back().children.push_back(std::move(node));
    }
    return result;
}

std::string ActivityCsvDamageText(const ActivityCsvResult& result, const std::string& fileName) {
    if (result.badRows == 0)
        return {};
    std::string text = "The saved activity log \"" + fileName + "\" is damaged: ";
    text += result.badRows == 1 ? "1 row" : std::to_string(result.badRows) + " rows";
    text += " could not be read (the first at line " + std::to_string(result.firstBadLine) + ").";
    text += " Everything else was loaded.";
    return text;
}

} // namespace tw
