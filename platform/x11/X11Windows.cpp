// The X11 back end of ForeignWindows on Qt's connection. Requests go through xcb with their errors
// taken from the reply (or from xcb_request_check), so a BadWindow about a window that has just
// closed is a failed read or write here, never a call into Xlib's exiting default error handler.
#include "platform/x11/X11Windows.h"

#include "platform/NoBackends.h"
#include "platform/x11/X11Connection.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <string>

// Xlib only for the compound-text conversions (no requests); after Qt, whose names it would clash with.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

namespace tw::platform {

namespace {

// A title property exactly as the window's program set it.
struct RawProperty {
    bool present = false;
    xcb_atom_t type = 0;
    std::uint8_t format = 0;
    std::string bytes;
};

class X11Snapshot : public TitleSnapshot {
public:
    RawProperty netName;
    RawProperty wmName;
};

// Frees what xcb hands out, reply or error alike.
template <typename T> struct Freed {
    T* p = nullptr;
    explicit Freed(T* ptr) : p(ptr) {}
    ~Freed() { std::free(p); }
    Freed(const Freed&) = delete;
    Freed& operator=(const Freed&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

std::string Latin1ToUtf8(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())).toUtf8().toStdString();
}

// The Latin-1 bytes of a UTF-8 text, or nothing when it holds a character outside Latin-1 (or
// bytes that are no UTF-8, which decode to U+FFFD).
std::optional<std::string> Utf8ToLatin1(const std::string& s) {
    const QString text = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return std::nullopt;
    return text.toLatin1().toStdString();
}

std::string UpToNull(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

class X11Windows : public ForeignWindows {
public:
    X11Windows(X11Connection conn, const CodePage& codePage) : m_display(conn.display), m_c(conn.xcb), m_cp(codePage) {
        const xcb_setup_t* setup = xcb_get_setup(m_c);
        // Qt's connection: the screen Qt uses is the default one of the display.
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
        for (int i = 0; i < DefaultScreen(m_display) && it.rem; ++i)
            xcb_screen_next(&it);
        m_root = it.data->root;
        m_netActiveWindow = atom("_NET_ACTIVE_WINDOW");
        m_netWmName = atom("_NET_WM_NAME");
        m_utf8String = atom("UTF8_STRING");
        m_wmState = atom("WM_STATE");
    }

    WindowId foregroundWindow() override {
        // The window manager's word first; without an EWMH manager, the input focus.
        if (auto active = readProperty(m_root, m_netActiveWindow); active && active->present) {
            if (active->format == 32 && active->bytes.size() >= 4) {
                std::uint32_t w = 0;
                std::memcpy(&w, active->bytes.data(), 4);
                return w;
            }
        }
        Freed<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
            focus->focus == m_root)
            return 0;
        return topLevelClient(focus->focus);
    }

    WindowId desktopWindow() override { return m_root; }

    bool isVisible(WindowId w) override {
        if (!valid(w))
            return false;
        xcb_generic_error_t* err = nullptr;
        Freed<xcb_get_window_attributes_reply_t> attrs(
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, id(w)), &err));
        std::free(err);
        return attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    WindowId owner(WindowId w) override {
        if (!valid(w))
            return 0;
        auto prop = readProperty(id(w), XCB_ATOM_WM_TRANSIENT_FOR);
        if (!prop || !prop->present || prop->format != 32 || prop->bytes.size() < 4)
            return 0;
        std::uint32_t o = 0;
        std::memcpy(&o, prop->bytes.data(), 4);
        return o;
    }

    WindowId parent(WindowId w) override {
        if (!valid(w))
            return 0;
        if (const WindowId o = owner(w))
            return o;
        if (w == m_root)
            return 0;
        // A managed top-level window sits in the manager's frame: its parent is the desktop.
        if (hasWmState(id(w)))
            return m_root;
        const std::optional<xcb_window_t> p = treeParent(id(w));
        return p ? *p : 0;
    }

    int getTitle(WindowId w, char* buffer, int bufferSize) override {
        if (bufferSize <= 0)
            return 0;
        buffer[0] = 0;
        const std::optional<std::string> ansi = ansiTitle(w);
        if (!ansi)
            return 0;
        const int n = std::min<int>(static_cast<int>(ansi->size()), bufferSize - 1);
        std::memcpy(buffer, ansi->data(), static_cast<std::size_t>(n));
        buffer[n] = 0;
        return n;
    }

    int getTitleLength(WindowId w) override {
        const std::optional<std::string> ansi = ansiTitle(w);
        return ansi ? static_cast<int>(ansi->size()) : 0;
    }

    bool setTitle(WindowId w, const char* ansiTitle) override {
        if (!valid(w) || !ansiTitle)
            return false;
        const std::string utf8 = m_cp.toUtf8(ansiTitle);
        auto written = m_written.find(w);
        if (written == m_written.end()) {
            // Note which properties the program did without, so that a restore does not leave ours.
            auto net = readProperty(id(w), m_netWmName);
            auto wm = readProperty(id(w), XCB_ATOM_WM_NAME);
            if (!net || !wm)
                return false;
            written = m_written.emplace(w, Written{{}, !net->present, !wm->present}).first;
        }
        written->second.utf8 = utf8;
        const RawProperty wmName = encodeWmName(utf8);
        const bool ok = change(id(w), m_netWmName, RawProperty{true, m_utf8String, 8, utf8}) &&
                        change(id(w), XCB_ATOM_WM_NAME, wmName);
        if (!ok)
            m_written.erase(w);
        return ok;
    }

    std::unique_ptr<TitleSnapshot> snapshotTitle(WindowId w) override {
        if (!valid(w))
            return nullptr;
        auto net = readProperty(id(w), m_netWmName);
        auto wm = readProperty(id(w), XCB_ATOM_WM_NAME);
        if (!net || !wm)
            return nullptr;
        auto snap = std::make_unique<X11Snapshot>();
        snap->netName = *net;
        snap->wmName = *wm;
        // Taken again in the middle of a display (the program changed its title): a property that still
        // holds our text was not set by the program, so it is given the program's new title, or left
        // absent where the program never had it.
        if (auto written = m_written.find(w); written != m_written.end()) {
            const Written& ours = written->second;
            const bool netOurs = net->present && decode(*net) == ours.utf8;
            const bool wmOurs = wm->present && decode(*wm) == ours.utf8;
            if (netOurs && !wmOurs) {
                snap->netName = ours.netWasAbsent || !wm->present
                                    ? RawProperty{}
                                    : RawProperty{true, m_utf8String, 8, decode(*wm).value_or("")};
            } else if (wmOurs && !netOurs) {
                snap->wmName =
                    ours.wmWasAbsent || !net->present ? RawProperty{} : encodeWmName(decode(*net).value_or(""));
            }
        }
        return snap;
    }

    bool restoreTitle(WindowId w, const TitleSnapshot& snapshot) override {
        m_written.erase(w);
        const auto* snap = dynamic_cast<const X11Snapshot*>(&snapshot);
        if (!snap || !valid(w))
            return false;
        const bool net = putBack(id(w), m_netWmName, snap->netName);
        const bool wm = putBack(id(w), XCB_ATOM_WM_NAME, snap->wmName);
        return net && wm;
    }

private:
    struct Written {
        std::string utf8; // the text of our latest write
        bool netWasAbsent = false;
        bool wmWasAbsent = false;
    };

    static bool valid(WindowId w) { return w != 0 && w <= 0xFFFFFFFFu; }
    static xcb_window_t id(WindowId w) { return static_cast<xcb_window_t>(w); }

    xcb_atom_t atom(const char* name) {
        Freed<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The property's raw value (present = false when the window has none); nothing when the window is gone.
    std::optional<RawProperty> readProperty(xcb_window_t w, xcb_atom_t prop) {
        if (prop == XCB_ATOM_NONE)
            return RawProperty{};
        xcb_generic_error_t* err = nullptr;
        // Titles are short; 256 KiB is far more than any window manager shows.
        Freed<xcb_get_property_reply_t> r(
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 65536), &err));
        if (err) {
            std::free(err);
            return std::nullopt;
        }
        if (!r)
            return std::nullopt;
        RawProperty out;
        if (r->type == XCB_ATOM_NONE)
            return out;
        out.present = true;
        out.type = r->type;
        out.format = r->format;
        const int len = xcb_get_property_value_length(r.p);
        out.bytes.assign(static_cast<const char*>(xcb_get_property_value(r.p)), static_cast<std::size_t>(len));
        return out;
    }

    bool change(xcb_window_t w, xcb_atom_t prop, const RawProperty& value) {
        if (prop == XCB_ATOM_NONE)
            return false;
        const unsigned unit = value.format == 32 ? 4 : value.format == 16 ? 2 : 1;
        const std::uint8_t format = value.format ? value.format : 8;
        xcb_generic_error_t* err =
            xcb_request_check(m_c, xcb_change_property_checked(m_c, XCB_PROP_MODE_REPLACE, w, prop, value.type, format,
                                                               static_cast<std::uint32_t>(value.bytes.size() / unit),
                                                               value.bytes.data()));
        if (err) {
            std::free(err);
            return false;
        }
        return true;
    }

    bool putBack(xcb_window_t w, xcb_atom_t prop, const RawProperty& value) {
        if (value.present)
            return change(w, prop, value);
        xcb_generic_error_t* err = xcb_request_check(m_c, xcb_delete_property_checked(m_c, w, prop));
        if (err) {
            std::free(err);
            return false;
        }
        return true;
    }

    // A title property as UTF-8; nothing for an absent one or one that cannot be converted.
    std::optional<std::string> decode(const RawProperty& p) {
        if (!p.present || p.format != 8)
            return std::nullopt;
        if (p.type == m_utf8String)
            return UpToNull(p.bytes);
        if (p.type == XCB_ATOM_STRING)
            return Latin1ToUtf8(UpToNull(p.bytes));
        XTextProperty tp;
        tp.value = reinterpret_cast<unsigned char*>(const_cast<char*>(p.bytes.data()));
        tp.encoding = p.type;
        tp.format = 8;
        tp.nitems = p.bytes.size();
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(m_display, &tp, &list, &count) < 0 || !list)
            return std::nullopt;
        std::string out = count > 0 && list[0] ? list[0] : "";
        XFreeStringList(list);
        return out;
    }

    // WM_NAME as ICCCM wants it: STRING (Latin-1) when it fits, compound text otherwise, and UTF-8 as
    // a last resort (which window managers accept as well).
    RawProperty encodeWmName(const std::string& utf8) {
        if (auto latin1 = Utf8ToLatin1(utf8))
            return RawProperty{true, XCB_ATOM_STRING, 8, *latin1};
        std::string copy = utf8;
        char* list[] = {copy.data()};
        XTextProperty tp{};
        if (Xutf8TextListToTextProperty(m_display, list, 1, XCompoundTextStyle, &tp) == Success && tp.value) {
            RawProperty out{true, static_cast<xcb_atom_t>(tp.encoding), 8,
                            std::string(reinterpret_cast<const char*>(tp.value), tp.nitems)};
            XFree(tp.value);
            return out;
        }
        if (tp.value)
            XFree(tp.value);
        return RawProperty{true, m_utf8String, 8, utf8};
    }

    // The title as UTF-8: "" when the window has none, nothing when the window is gone. A property
    // that still holds our own text gives way to the other one, which the program has changed.
    std::optional<std::string> utf8Title(WindowId w) {
        if (!valid(w))
            return std::nullopt;
        auto net = readProperty(id(w), m_netWmName);
        if (!net)
            return std::nullopt;
        auto wm = readProperty(id(w), XCB_ATOM_WM_NAME);
        if (!wm)
            return std::nullopt;
        const std::optional<std::string> netText = decode(*net);
        const std::optional<std::string> wmText = decode(*wm);
        if (auto written = m_written.find(w); written != m_written.end()) {
            if (netText == written->second.utf8 && wmText && *wmText != written->second.utf8)
                return wmText;
        }
        if (netText)
            return netText;
        return wmText.value_or(std::string());
    }

    std::optional<std::string> ansiTitle(WindowId w) {
        const std::optional<std::string> utf8 = utf8Title(w);
        if (!utf8)
            return std::nullopt;
        return m_cp.fromUtf8(*utf8);
    }

    bool hasWmState(xcb_window_t w) {
        auto p = readProperty(w, m_wmState);
        return p && p->present;
    }

    std::optional<xcb_window_t> treeParent(xcb_window_t w) {
        xcb_generic_error_t* err = nullptr;
        Freed<xcb_query_tree_reply_t> r(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), &err));
        std::free(err);
        if (!r)
            return std::nullopt;
        return r->parent;
    }

    // The managed client window that holds w: up to the window with WM_STATE, or, from the top-level
    // frame, down to the client inside it. Without a window manager the top-level window itself.
    WindowId topLevelClient(xcb_window_t w) {
        for (int depth = 0; depth < 64; ++depth) {
            if (hasWmState(w))
                return w;
            const std::optional<xcb_window_t> p = treeParent(w);
            if (!p)
                return 0;
            if (*p == m_root || *p == XCB_NONE)
                break;
            w = *p;
        }
        std::deque<std::pair<xcb_window_t, int>> queue{{w, 0}};
        while (!queue.empty()) {
            auto [cur, depth] = queue.front();
            queue.pop_front();
            if (cur != w && hasWmState(cur))
                return cur;
            if (depth >= 3)
                continue;
            Freed<xcb_query_tree_reply_t> r(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, cur), nullptr));
            if (!r)
                continue;
            const xcb_window_t* kids = xcb_query_tree_children(r.p);
            for (int i = 0; i < xcb_query_tree_children_length(r.p); ++i)
                queue.emplace_back(kids[i], depth + 1);
        }
        return w;
    }

    Display* m_display;
    xcb_connection_t* m_c;
    const CodePage& m_cp;
    xcb_window_t m_root = 0;
    xcb_atom_t m_netActiveWindow = 0;
    xcb_atom_t m_netWmName = 0;
    xcb_atom_t m_utf8String = 0;
    xcb_atom_t m_wmState = 0;
    std::map<WindowId, Written> m_written;
};

} // namespace

std::unique_ptr<ForeignWindows> CreateX11Windows(const CodePage& codePage) {
    const X11Connection conn = QtX11Connection();
    if (!conn)
        return std::make_unique<NoForeignWindows>();
    return std::make_unique<X11Windows>(conn, codePage);
}

} // namespace tw::platform
