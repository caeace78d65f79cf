// A small program of its own for the X11 tests: one titled top-level window of another process,
// written with Xlib alone, that changes its own title on SIGUSR1 and destroys its window on SIGUSR2.
//
//   foreign_window [--title UTF8] [--rename UTF8] [--no-net-wm-name] [--dialog] [--focus]
//
// Prints "ready WINDOW [DIALOG]" (decimal ids) once the windows are mapped; exits on SIGTERM.
// --no-net-wm-name sets WM_NAME only; --dialog adds a second window transient for the first;
// --focus gives itself the input focus (for a desktop without a window manager).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>

namespace {

volatile std::sig_atomic_t g_rename = 0;
volatile std::sig_atomic_t g_destroy = 0;
volatile std::sig_atomic_t g_quit = 0;

void onSignal(int sig) {
    if (sig == SIGUSR1)
        g_rename = 1;
    else if (sig == SIGUSR2)
        g_destroy = 1;
    else
        g_quit = 1;
}

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

void setTitle(Display* d, Window w, const std::string& utf8, bool netWmName) {
    if (netWmName) {
        XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                        static_cast<int>(utf8.size()));
    }
    if (isAscii(utf8)) {
        XStoreName(d, w, utf8.c_str());
    } else {
        std::string copy = utf8;
        char* list[] = {copy.data()};
        XTextProperty tp{};
        if (Xutf8TextListToTextProperty(d, list, 1, XStdICCTextStyle, &tp) >= 0) {
            XSetWMName(d, w, &tp);
            XFree(tp.value);
        }
    }
    XFlush(d);
}

Window makeWindow(Display* d, int x, int y) {
    const int s = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, s), x, y, 320, 120, 1, BlackPixel(d, s), WhitePixel(d, s));
    XSelectInput(d, w, StructureNotifyMask | ExposureMask);
    return w;
}

void waitMapped(Display* d, Window w) {
    XEvent e;
    do
        XWindowEvent(d, w, StructureNotifyMask, &e);
    while (e.type != MapNotify);
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::string title = "Foreign window";
    std::string rename = "Renamed by its program";
    bool netWmName = true;
    bool dialog = false;
    bool focus = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--title" && i + 1 < argc)
            title = argv[++i];
        else if (a == "--rename" && i + 1 < argc)
            rename = argv[++i];
        else if (a == "--no-net-wm-name")
            netWmName = false;
        else if (a == "--dialog")
            dialog = true;
        else if (a == "--focus")
            focus = true;
        else {
            std::fprintf(stderr, "foreign_window: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGUSR1, &sa, nullptr);
    sigaction(SIGUSR2, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "foreign_window: no display\n");
        return 1;
    }
    Window w = makeWindow(d, 100, 100);
    setTitle(d, w, title, netWmName);
    XMapWindow(d, w);
    waitMapped(d, w);
    Window dlg = 0;
    if (dialog) {
        dlg = makeWindow(d, 160, 160);
        XSetTransientForHint(d, dlg, w);
        setTitle(d, dlg, "Dialog of " + title, netWmName);
        XMapWindow(d, dlg);
        waitMapped(d, dlg);
    }
    if (focus)
        XSetInputFocus(d, dlg ? dlg : w, RevertToParent, CurrentTime);
    XSync(d, False);
    if (dlg)
        std::printf("ready %lu %lu\n", w, dlg);
    else
        std::printf("ready %lu\n", w);
    std::fflush(stdout);

    pollfd pfd{ConnectionNumber(d), POLLIN, 0};
    while (!g_quit) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }
        if (g_rename) {
            g_rename = 0;
            if (w)
                setTitle(d, w, rename, netWmName);
            std::printf("renamed\n");
            std::fflush(stdout);
        }
        if (g_destroy) {
            g_destroy = 0;
            if (dlg)
                XDestroyWindow(d, dlg);
            if (w)
                XDestroyWindow(d, w);
            w = dlg = 0;
            XSync(d, False);
            std::printf("destroyed\n");
            std::fflush(stdout);
        }
        poll(&pfd, 1, 20);
    }
    XCloseDisplay(d);
    return 0;
}
