// Real top-level windows on the X display for the activity tests, made over an X connection of
// their own so that the program under test sees them as other programs' windows. Xlib stays in the
// .cpp file.
#pragma once

#include <cstdint>
#include <string>

namespace tw::test {

class X11TestWindows {
public:
    X11TestWindows();
    ~X11TestWindows();
    X11TestWindows(const X11TestWindows&) = delete;
    X11TestWindows& operator=(const X11TestWindows&) = delete;

    bool connected() const { return m_display != nullptr; }
    // A mapped window titled in _NET_WM_NAME and WM_NAME (ASCII); with an owner, transient for it.
    std::uint64_t create(const std::string& title, int x, int y, std::uint64_t owner = 0);
    // Asks the window manager to bring the window to the front and give it the focus.
    void activate(std::uint64_t window);

private:
    void* m_display = nullptr;
};

} // namespace tw::test
