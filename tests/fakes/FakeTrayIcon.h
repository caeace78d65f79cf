// A tray icon that records what the tray logic made of it, and lets tests click it.
#pragma once

#include <string>
#include <vector>

#include "platform/TrayIcon.h"

namespace tw::fake {

class FakeTrayIcon : public platform::TrayIcon {
public:
    // Names that give a picture, as the program's resources do; anything else gives the empty one.
    std::vector<std::string> knownNames{"ICO_TRAY", "ICO_TRAYR", "ICO_TRAYD", "MAINICON",
                                        "ICO_F1",   "ICO_F2",    "ICO_F3",    "ICO_F4"};
    std::string still; // the last still picture's name
    int stillSets = 0; // how often a still picture was set
    std::vector<std::string> frames;
    bool anim = false;
    int animationChanges = 0; // real on/off changes
    std::string hint;
    platform::TrayMenu attached = platform::TrayMenu::Main;

    void setStillIcon(const std::string& name) override {
        still = name;
        ++stillSets;
    }
    void setFrames(const std::vector<std::string>& names) override { frames = names; }
    void setAnimated(bool on) override {
        if (on != anim)
            ++animationChanges;
        anim = on;
    }
    bool animated() const override { return anim; }
    void setHint(const std::string& h) override { hint = h; }
    void setMenu(platform::TrayMenu m) override { attached = m; }
    platform::TrayMenu menu() const override { return attached; }
    void setListener(platform::TrayIconListener* listener) override { m_listener = listener; }

    bool hasPicture(const std::string& name) const {
        for (const auto& n : knownNames)
            if (n == name)
                return true;
        return false;
    }
    // In the notification area: animated with frames, or with a still picture.
    bool visible() const { return (anim && !frames.empty()) || hasPicture(still); }
    std::string tooltip() const { return platform::TooltipFromHint(hint); }

    void leftClick() {
        if (m_listener)
            m_listener->trayIconClicked();
    }
    // A right click shows the attached menu; with none attached it is a click.
    void rightClick() {
        if (attached == platform::TrayMenu::None)
            leftClick();
    }
    void doubleClick() {
        if (m_listener)
            m_listener->trayIconDoubleClicked();
    }

private:
    platform::TrayIconListener* m_listener = nullptr;
};

} // namespace tw::fake
