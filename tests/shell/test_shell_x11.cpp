// The shell's X11 back ends on a real X server with a window manager and a tray panel: the panel
// that holds the notification area, Ctrl+F2 when another program already holds it, and the shared
// connection with its error trap.
#include <QApplication>
#include <QProcess>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11HotKey.h"

using namespace tw::platform;

namespace {

// Counts the presses of Ctrl+F2. (The shared counting listener cannot be included after Xlib.h,
// whose None macro breaks the tray's enum.)
struct PressCounter : HotKeyListener {
    int hotKeyPresses = 0;
    void hotKeyPressed() override { ++hotKeyPresses; }
};

} // namespace

class ShellX11Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(X11Available(), "needs Qt's xcb platform with a display"); }

    // The test desktop's trayer is a dock at the bottom right; its geometry is what the hot key uses.
    void trayPanelIsTheDockThatHoldsTheTray() {
        X11Desktop desktop;
        const std::optional<Rect> panel = desktop.trayPanelRect();
        QVERIFY(panel.has_value());
        QProcess xwininfo;
        xwininfo.start(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("xwininfo -name panel -int | grep -E 'Absolute|Width|Height'")});
        QVERIFY(xwininfo.waitForFinished(5000));
        const QStringList lines = QString::fromLatin1(xwininfo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        auto value = [&](int i) { return lines[i].section(':', 1).trimmed().toInt(); };
        const Rect expected{value(0), value(1), value(0) + value(2), value(1) + value(3)};
        QCOMPARE(*panel, expected);
        const Rect area = desktop.workArea();
        QCOMPARE(HotKeyMenuPosition(panel, area), (Point{expected.right - 64, expected.top}));
        // The panel's strut keeps it out of the work area.
        QVERIFY(area.bottom <= expected.top);
    }

    // Qt's own connection, and a request about a window that is gone: inside the trap it fails
    // quietly, where Xlib's default handler would end the program.
    void sharedConnectionAndItsErrorTrap() {
        const X11Connection connection = QtX11Connection();
        QVERIFY(connection.display != nullptr && connection.xcb != nullptr);
        QCOMPARE(static_cast<void*>(connection.display),
                 static_cast<void*>(qApp->nativeInterface<QNativeInterface::QX11Application>()->display()));
        const Window gone =
            XCreateSimpleWindow(connection.display, DefaultRootWindow(connection.display), 0, 0, 10, 10, 0, 0, 0);
        XDestroyWindow(connection.display, gone);
        XErrorHandler before = XSetErrorHandler(nullptr);
        XSetErrorHandler(before);
        {
            X11ErrorTrap trap(connection.display);
            XWindowAttributes attrs{};
            QCOMPARE(XGetWindowAttributes(connection.display, gone, &attrs), 0);
            XMapWindow(connection.display, gone); // an error that arrives only at the trap's closing sync
        }
        XErrorHandler after = XSetErrorHandler(before);
        QVERIFY(after == before);
    }

    void hotKeyHeldByAnotherProgramIsRefusedThenTaken() {
        Display* other = XOpenDisplay(nullptr);
        QVERIFY(other != nullptr);
        const KeyCode f2 = XKeysymToKeycode(other, XK_F2);
        XGrabKey(other, f2, ControlMask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
        XSync(other, False);
        X11HotKey hotKey;
        PressCounter presses;
        QVERIFY(!hotKey.registerHotKey(presses));
        QVERIFY(!hotKey.isRegistered());
        XCloseDisplay(other); // the other program ends: its grab goes with it

        QVERIFY(hotKey.registerHotKey(presses));
        QVERIFY(hotKey.isRegistered());
        QVERIFY(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+F2")}) == 0);
        QTRY_COMPARE(presses.hotKeyPresses, 1);
        // Shift+Ctrl+F2 is another key.
        QVERIFY(QProcess::execute(QStringLiteral("xdotool"),
                                  {QStringLiteral("key"), QStringLiteral("shift+ctrl+F2")}) == 0);
        QTest::qWait(200);
        QCOMPARE(presses.hotKeyPresses, 1);
        hotKey.unregisterHotKey();
        QVERIFY(!hotKey.isRegistered());
    }
};

QTEST_MAIN(ShellX11Test)
#include "test_shell_x11.moc"
