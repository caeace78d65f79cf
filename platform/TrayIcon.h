// The notification-area icon as the window-free tray logic drives it: a still picture named by its
// resource name, a frame animation, a hint (tooltip), which of the two tray menus is attached, and
// the click events. The Qt back end is platform/qt/TrayIcon; tests use fake::FakeTrayIcon.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw::platform {

// The menus a tray icon can carry: the main tray menu, the menu without items (a right click on the
// icon then shows nothing), or none at all (a right click is then a click).
enum class TrayMenu { None, Main, Empty };

inline constexpr std::size_t TrayTooltipLength = 63;

// The tooltip a hint gives: the text up to its first "|", cut to 63 characters (UTF-8 code points,
// never half a character).
inline std::string TooltipFromHint(std::string_view hint) {
    const std::size_t bar = hint.find('|');
    if (bar != std::string_view::npos)
        hint = hint.substr(0, bar);
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < hint.size()) {
        if ((static_cast<unsigned char>(hint[i]) & 0xC0) != 0x80) {
            if (chars == TrayTooltipLength)
                break;
            ++chars;
        }
        ++i;
    }
    return std::string(hint.substr(0, i));
}

// Told of clicks on the tray icon; a listener overrides the events it takes.
class TrayIconListener {
public:
    virtual ~TrayIconListener() = default;
    // Left click, and a right click while no menu is attached.
    virtual void trayIconClicked() {}
    virtual void trayIconDoubleClicked() {}
};

class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // The picture shown while not animated, by resource name. A name that names no picture (such as
    // " ") gives the empty picture, which takes the icon out of the notification area; a non-empty
    // picture brings it back.
    virtual void setStillIcon(const std::string& resourceName) = 0;
    // The animation's pictures by resource name, shown in this order, 150 ms each.
    virtual void setFrames(const std::vector<std::string>& resourceNames) = 0;
    // On: frame 0 at once, then the next frame every 150 ms, round and round. Off: the still picture
    // again. Setting the value the icon already has changes nothing.
    virtual void setAnimated(bool on) = 0;
    virtual bool animated() const = 0;
    // UTF-8; the tooltip shows TooltipFromHint(hint).
    virtual void setHint(const std::string& hint) = 0;
    virtual void setMenu(TrayMenu menu) = 0;
    virtual TrayMenu menu() const = 0;
    // The one listener of the clicks; null detaches it.
    virtual void setListener(TrayIconListener* listener) = 0;
};

} // namespace tw::platform
