// The activity sampler and the tree it counts into.
#include "activity/ActivityLog.h"

#include <algorithm>
#include <cmath>

#include "store/DayCount.h"

namespace tw {

namespace {

// An owner chain that loops back on itself (possible on X11) must not hang the sampler.
constexpr int MaxClimb = 64;

unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Sets a flag for as long as it lives, also when the sample returns early.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

int AsciiNoCaseCollation::compare(std::string_view a, std::string_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Lower(static_cast<unsigned char>(a[i]));
        const unsigned char y = Lower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string CutText(std::string text, std::size_t n) {
    if (text.size() > n)
        text.resize(n);
    return text;
}

ActivityLog::ActivityLog(Services& services, const TextCollation& collation, SampleTimer& timer)
    : m_services(services), m_collation(collation), m_timer(timer) {}

std::string ActivityLog::CurrentDateText() const {
    const platform::LocalTime now = m_services.clock.now();
    const double today = EncodeDate(now.year, now.month, now.day).value_or(0);
    const std::string utf8 = DateToStr(m_services.store.Formats, m_services.locale, today);
    return CutText(m_services.codePage.fromUtf8(utf8), MaxNodeText);
}

std::string ActivityLog::CurrentTimeText() const {
    const double now = ToDayCount(m_services.clock.now());
    const std::string utf8 = TimeToStr(m_services.store.Formats, m_services.locale, now);
    return CutText(m_services.codePage.fromUtf8(utf8), MaxNodeText);
}

std::string ActivityLog::EntryText(double elapsed, const std::string& title) const {
    std::string text = m_services.codePage.fromUtf8(TimeToStr(m_services.store.Formats, m_services.locale, elapsed));
    text += EntrySeparator;
    text += title;
    // Not cut: the search looks for the whole title in this text, so a cut would start a new entry
    // for a long title at every sample.
    return text;
}

int ActivityLog::CompareEntryText(const ActivityNode& a, const ActivityNode& b) const {
    return -m_collation.compare(a.text, b.text);
}

void ActivityLog::addDayRoot() {
    DayRoot root;
    root.dateText = CurrentDateText();
    root.timeText = CurrentTimeText();
    root.text = CutText(root.dateText + std::string(StartInText) + root.timeText, MaxNodeText);
    m_roots.push_back(std::move(root));
    CurrentDayNode = static_cast<int>(m_roots.size()) - 1;
    if (m_listener)
        m_listener->rootAdded(CurrentDayNode);
}

// Insertion sort: stable, and linear on the nearly sorted children a sample leaves behind (one entry
// moved on by a second, one new entry at the end).
void ActivityLog::sortChildren(int root) {
    std::vector<ActivityNode>& c = m_roots[static_cast<std::size_t>(root)].children;
    bool moved = false;
    for (std::size_t i = 1; i < c.size(); ++i) {
        if (CompareEntryText(c[i], c[i - 1]) >= 0)
            continue;
        std::size_t j = i - 1;
        while (j > 0 && CompareEntryText(c[i], c[j - 1]) < 0)
            --j;
        std::rotate(c.begin() + static_cast<std::ptrdiff_t>(j), c.begin() + static_cast<std::ptrdiff_t>(i),
                    c.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        moved = true;
    }
    if (moved && m_listener)
        m_listener->childrenChanged(root);
}

void ActivityLog::sortAll() {
    for (DayRoot& r : m_roots)
        std::stable_sort(r.children.begin(), r.children.end(),
                         [this](const ActivityNode& a, const ActivityNode& b) { return CompareEntryText(a, b) < 0; });
    for (int i = 0; i < static_cast<int>(m_roots.size()); ++i)
        if (m_listener)
            m_listener->childrenChanged(i);
}

void ActivityLog::appendRoots(std::vector<DayRoot> roots) {
    for (DayRoot& r : roots) {
        for (ActivityNode& n : r.children)
            n.entry.Window = 0;
        m_roots.push_back(std::move(r));
        if (m_listener) {
            m_listener->rootAdded(static_cast<int>(m_roots.size()) - 1);
            m_listener->childrenChanged(static_cast<int>(m_roots.size()) - 1);
        }
    }
    CurrentDayNode = static_cast<int>(m_roots.size()) - 1;
}

// Yields to the event loop; false when the tree was emptied meanwhile, which ends the sample.
bool ActivityLog::yield() {
    const std::uint64_t generation = m_generation;
    m_services.pump.processMessages();
    return generation == m_generation;
}

void ActivityLog::hwn_TimerS() {
    if (m_sampling)
        return;
    FormatSettings& formats = m_services.store.Formats;
    formats.LongTimeFormat = "hh:nn:ss";
    formats.ShortDateFormat = "dd/mm/yy";
    formats.LongDateFormat = "dd/mm/yy";
    if (m_services.store.MonitorState == MonitorShowing)
        return;
    m_timer.disable();
    const FlagScope inSample(m_sampling);

    const platform::LocalTime now = m_services.clock.now();
    const double today = EncodeDate(now.year, now.month, now.day).value_or(0);
    if (today != LogDay || m_roots.empty()) {
        LogDay = today;
        addDayRoot();
        if (!yield())
            return;
    }

    platform::ForeignWindows& windows = m_services.windows;
    platform::WindowId w = windows.foregroundWindow();
    const platform::WindowId desktop = windows.desktopWindow();
    platform::WindowId c = w;
    for (int steps = 0; c != desktop && c != 0 && steps < MaxClimb; ++steps) {
        w = c;
        c = windows.parent(w);
        if (!yield())
            return;
    }
    SampledWindow = w;
    if (w == 0)
        return;

    char buffer[TitleBufferSize];
    const int n = windows.getTitle(w, buffer, TitleBufferSize);
    if (n <= 0)
        return;
    const std::string title(buffer, static_cast<std::size_t>(std::min(n, TitleBufferSize - 1)));

    const int root = CurrentDayNode;
    sortChildren(root);

    // Positions 0 (the root, which carries no entry) to k (its children), as in the tree's
    // depth-first order; a later match replaces an earlier one.
    auto children = [&]() -> std::vector<ActivityNode>& { return m_roots[static_cast<std::size_t>(root)].children; };
    const std::size_t k = children().size();
    std::size_t found = k;
    for (std::size_t pos = 0; pos <= k; ++pos) {
        if (!yield())
            return;
        if (pos > 0) {
            const ActivityNode& node = children()[pos - 1];
            if (node.entry.Window == w && node.text.find(title) != std::string::npos)
                found = pos - 1;
        }
        if (!yield())
            return;
    }

    if (found < k) {
        ActivityNode& node = children()[found];
        const long long seconds = std::llround(static_cast<double>(m_armIntervalMs) / 1000.0);
        const long long before = std::llround(node.entry.Elapsed * 86400.0);
        node.entry.Elapsed = static_cast<double>(before + seconds) / 86400.0;
        node.text = EntryText(node.entry.Elapsed, node.entry.Title);
        if (m_listener)
            m_listener->childrenChanged(root);
        yield();
        return;
    }

    ActivityNode node;
    node.entry.Window = w;
    node.entry.Elapsed = 0;
    node.entry.Title = title;
    node.text = EntryText(0, title);
    children().push_back(std::move(node));
    if (m_listener)
        m_listener->childrenChanged(root);
}

void ActivityLog::Clear_All_Records() {
    const platform::LocalTime now = m_services.clock.now();
    LogDay = EncodeDate(now.year, now.month, now.day).value_or(0);
    m_roots.clear();
    CurrentDayNode = -1;
    ++m_generation;
    if (m_listener)
        m_listener->logCleared();
    if (!ActivityLogEnabled)
        return;
    addDayRoot();
}

} // namespace tw
