// The title-bar display and the X11 back end on a real X server, with the windows of another process
// (foreign_window): the note slides into the title and the exact title properties come back, a
// title changed by its program is kept, and a window destroyed meanwhile does not end the program.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/TitleBar.h"
#include "platform/Cp1252.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Windows.h"
#include "store/DateFormat.h"
#include "tests/fakes/CountingBeeper.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/RecordingHelp.h"
#include "tests/fakes/RecordingMessageBoxes.h"

#include <xcb/xcb.h>

namespace {

using tw::platform::WindowId;

// Qt's event processing, with the pauses cut short so a display takes a fraction of a second; a
// hook runs at every pause with its number.
class FastPump : public tw::platform::EventPump {
public:
    int sleeps = 0;
    std::function<void(int)> onSleep;
    void processMessages() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
    void sleep(int) override {
        if (onSleep)
            onSleep(sleeps);
        ++sleeps;
        QThread::usleep(100);
    }
};

// Reads title properties over a connection of its own, as another client (the window manager) sees them.
class Observer {
public:
    struct Raw {
        xcb_atom_t type = 0;
        std::string bytes;
        bool operator==(const Raw&) const = default;
    };
    Observer() : m_c(xcb_connect(nullptr, nullptr)) {
        m_net = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
    }
    ~Observer() { xcb_disconnect(m_c); }
    // Nothing when the property is absent; "gone" is set when the window no longer exists.
    std::optional<Raw> get(WindowId w, xcb_atom_t prop, bool* gone = nullptr) {
        xcb_generic_error_t* err = nullptr;
        auto* r = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, static_cast<xcb_window_t>(w), prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            &err);
        if (gone)
            *gone = err != nullptr;
        free(err);
        if (!r)
            return std::nullopt;
        std::optional<Raw> out;
        if (r->type != XCB_ATOM_NONE)
            out = Raw{r->type, std::string(static_cast<const char*>(xcb_get_property_value(r)),
                                           static_cast<std::size_t>(xcb_get_property_value_length(r)))};
        free(r);
        return out;
    }
    std::optional<Raw> netName(WindowId w) { return get(w, m_net); }
    std::optional<Raw> wmName(WindowId w) { return get(w, XCB_ATOM_WM_NAME); }
    bool exists(WindowId w) {
        bool gone = false;
        get(w, XCB_ATOM_WM_NAME, &gone);
        return !gone;
    }
    xcb_atom_t utf8() const { return m_utf8; }

private:
    xcb_atom_t atom(const char* name) {
        auto* r =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        free(r);
        return a;
    }
    xcb_connection_t* m_c;
    xcb_atom_t m_net = 0;
    xcb_atom_t m_utf8 = 0;
};

// foreign_window as a child process that is always stopped.
class Foreign {
public:
    explicit Foreign(const QStringList& args) {
        m_p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_p.start(QStringLiteral(FOREIGN_WINDOW), args);
        const QList<QByteArray> parts = readLine().split(' ');
        if (parts.size() >= 2 && parts[0] == "ready") {
            window = parts[1].toULongLong();
            if (parts.size() >= 3)
                dialog = parts[2].toULongLong();
        }
    }
    ~Foreign() {
        m_p.terminate();
        if (!m_p.waitForFinished(3000)) {
            m_p.kill();
            m_p.waitForFinished(3000);
        }
    }
    void signal(int sig) { ::kill(static_cast<pid_t>(m_p.processId()), sig); }
    QByteArray readLine() {
        QElapsedTimer t;
        t.start();
        while (!m_p.canReadLine() && t.elapsed() < 5000)
            m_p.waitForReadyRead(100);
        return m_p.readLine().trimmed();
    }
    WindowId window = 0;
    WindowId dialog = 0;

private:
    QProcess m_p;
};

struct Rig {
    Rig() : windows(tw::platform::CreateX11Windows(codePage)) {}
    tw::fake::FakeFileSystem files;
    tw::Store store{files};
    tw::fake::FakeClock clock;
    tw::EnglishLocale locale;
    tw::platform::Cp1252 codePage;
    tw::fake::RecordingMessageBoxes boxes;
    tw::fake::CountingBeeper beeper;
    FastPump pump;
    tw::fake::RecordingHelp help;
    std::unique_ptr<tw::platform::ForeignWindows> windows;
    tw::Services services{store, clock, locale, codePage, boxes, beeper, pump, help, *windows};
    tw::HandBack handBack{store};
    tw::TitleBar bar{services, handBack};

    tw::ReminderRecord& reminder(const std::string& note) {
        tw::ReminderRecord& r = store.CurrentReminder;
        tw::ClearRecord(r);
        r.Kind = tw::KindTitle;
        r.Beep = 1;
        r.RemDate = 46000.0;
        tw::SetNote(r, note);
        return r;
    }
    // The window manager makes a new window the active one; wait until it has.
    bool waitForeground(WindowId w) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (windows->foregroundWindow() == w)
                return true;
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        return false;
    }
};

} // namespace

class TitleBarX11Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("TELLWICK_TEST_OFFSCREEN"))
            return;
        QVERIFY2(tw::platform::X11Available(), "needs an X11 display");
    }

    void noteSlidesInAndTheExactTitleComesBack() {
        // Greek and a Euro sign: the first reads as "?" through the ANSI code page, the second does not.
        const std::string title = "\xCE\xA9mega \xE2\x82\xAC notes";
        Foreign app({QStringLiteral("--title"), QString::fromStdString(title)});
        QVERIFY(app.window);
        Rig rig;
        Observer obs;
        QVERIFY(rig.waitForeground(app.window));
        const auto netBefore = obs.netName(app.window);
        const auto wmBefore = obs.wmName(app.window);
        QVERIFY(netBefore && wmBefore);
        QCOMPARE(netBefore->bytes, title);

        char ansi[256];
        QCOMPARE(rig.windows->getTitle(app.window, ansi, 256), 13);
        QCOMPARE(std::string(ansi), std::string("?mega \x80 notes"));

        std::string seenAtEnd;
        int shownWithNote = 0;
        rig.pump.onSleep = [&](int i) {
            const auto net = obs.netName(app.window);
            if (net && net->bytes.find("Standup") != std::string::npos)
                ++shownWithNote;
            // Pause 239 follows the scroll step at position 16, the last but one (L = 13).
            if (i == 239)
                seenAtEnd = net ? net->bytes : "";
        };
        tw::ReminderRecord& r = rig.reminder("Standup");
        rig.bar.ShowInTitleBar(r);

        QCOMPARE(seenAtEnd, std::string("?mega \xE2\x82\xAC notes    Standup"));
        QVERIFY(shownWithNote > 200);
        QCOMPARE(rig.store.MonitorState, tw::MonitorDone);
        QCOMPARE(r.RemDate, 0.0);
        QVERIFY(!rig.bar.TitleModified);
        QCOMPARE(rig.beeper.beeps, 1);
        QVERIFY(obs.netName(app.window) == netBefore);
        QVERIFY(obs.wmName(app.window) == wmBefore);
    }

    void windowWithoutNetWmNameIsNotLeftWithOne() {
        Foreign app({QStringLiteral("--title"), QStringLiteral("Plain terminal"), QStringLiteral("--no-net-wm-name")});
        QVERIFY(app.window);
        Rig rig;
        Observer obs;
        QVERIFY(rig.waitForeground(app.window));
        QVERIFY(!obs.netName(app.window));
        const auto wmBefore = obs.wmName(app.window);
        bool noteInWmName = false;
        rig.pump.onSleep = [&](int) {
            const auto wm = obs.wmName(app.window);
            noteInWmName = noteInWmName || (wm && wm->bytes.find("Backup") != std::string::npos);
        };
        rig.bar.ShowInTitleBar(rig.reminder("Backup"));
        QVERIFY(noteInWmName);
        QVERIFY(!obs.netName(app.window));
        QVERIFY(obs.wmName(app.window) == wmBefore);
        QCOMPARE(rig.store.MonitorState, tw::MonitorDone);
    }

    void titleChangedByItsProgramIsKept_data() {
        QTest::addColumn<bool>("netWmName");
        QTest::newRow("both properties") << true;
        QTest::newRow("WM_NAME only") << false;
    }
    void titleChangedByItsProgramIsKept() {
        QFETCH(bool, netWmName);
        QStringList args{QStringLiteral("--title"), QStringLiteral("Draft"), QStringLiteral("--rename"),
                         QStringLiteral("Report final version")};
        if (!netWmName)
            args << QStringLiteral("--no-net-wm-name");
        Foreign app(args);
        QVERIFY(app.window);
        Rig rig;
        Observer obs;
        QVERIFY(rig.waitForeground(app.window));
        bool renamed = false;
        rig.pump.onSleep = [&](int i) {
            if (i == 40) {
                app.signal(SIGUSR1);
                renamed = app.readLine() == "renamed";
            }
        };
        rig.bar.ShowInTitleBar(rig.reminder("Send it"));
        QVERIFY(renamed);
        QCOMPARE(std::string(rig.bar.SavedTitle), std::string("Report final version"));
        const auto wm = obs.wmName(app.window);
        QVERIFY(wm);
        QCOMPARE(wm->bytes, std::string("Report final version"));
        QCOMPARE(wm->type, xcb_atom_t{XCB_ATOM_STRING});
        const auto net = obs.netName(app.window);
        if (netWmName) {
            QVERIFY(net);
            QCOMPARE(net->bytes, std::string("Report final version"));
        } else {
            QVERIFY(!net);
        }
        // The scroll-in went on with the new title: it ended at its length + 2, so 254 - 22 + 1 steps in all.
        QCOMPARE(rig.pump.sleeps, 233 + 88 + 101);
    }

    void windowDestroyedMidScrollEndsTheDisplayOnly() {
        Foreign app({QStringLiteral("--title"), QStringLiteral("Short-lived")});
        QVERIFY(app.window);
        Rig rig;
        Observer obs;
        QVERIFY(rig.waitForeground(app.window));
        rig.pump.onSleep = [&](int i) {
            if (i == 20) {
                app.signal(SIGUSR2);
                QCOMPARE(app.readLine(), QByteArray("destroyed"));
            }
        };
        tw::ReminderRecord& r = rig.reminder("Gone soon");
        rig.bar.ShowInTitleBar(r);
        QVERIFY(!obs.exists(app.window));
        QCOMPARE(rig.pump.sleeps, 21);
        QCOMPARE(rig.store.MonitorState, tw::MonitorDone);
        QCOMPARE(r.RemDate, 0.0);
        QVERIFY(!rig.bar.TitleModified);
        // Every operation on the closed window fails quietly.
        char buf[256];
        QCOMPARE(rig.windows->getTitle(app.window, buf, 256), 0);
        QCOMPARE(rig.windows->getTitleLength(app.window), 0);
        QVERIFY(!rig.windows->setTitle(app.window, "x"));
        QVERIFY(!rig.windows->isVisible(app.window));
        QCOMPARE(rig.windows->owner(app.window), WindowId{0});
        QVERIFY(!rig.windows->snapshotTitle(app.window));
    }

    void windowDestroyedDuringTheBlinkIsHarmless() {
        Foreign app({QStringLiteral("--title"), QStringLiteral("Blinker")});
        QVERIFY(app.window);
        Rig rig;
        QVERIFY(rig.waitForeground(app.window));
        rig.pump.onSleep = [&](int i) {
            if (i == 260) {
                app.signal(SIGUSR2);
                app.readLine();
            }
        };
        tw::ReminderRecord& r = rig.reminder("Blink");
        rig.bar.ShowInTitleBar(r);
        QCOMPARE(rig.store.MonitorState, tw::MonitorDone);
        QVERIFY(!rig.bar.TitleModified);
    }

    void ownedDialogInFrontGetsNoDisplay() {
        Foreign app({QStringLiteral("--title"), QStringLiteral("Main"), QStringLiteral("--dialog")});
        QVERIFY(app.window && app.dialog);
        Rig rig;
        Observer obs;
        QVERIFY(rig.waitForeground(app.dialog));
        QCOMPARE(rig.windows->owner(app.dialog), app.window);
        QCOMPARE(rig.windows->parent(app.dialog), app.window);
        QCOMPARE(rig.windows->parent(app.window), rig.windows->desktopWindow());
        QCOMPARE(rig.windows->owner(app.window), WindowId{0});
        QVERIFY(rig.windows->isVisible(app.dialog));
        QVERIFY(!rig.bar.IsTitleWindow(app.dialog));
        QVERIFY(rig.bar.IsTitleWindow(app.window));
        QVERIFY(!rig.bar.IsTitleWindow(rig.windows->desktopWindow()));
        const auto before = obs.netName(app.dialog);
        rig.bar.ShowInTitleBar(rig.reminder("Not here"));
        QCOMPARE(rig.store.MonitorState, tw::MonitorIdle);
        QCOMPARE(rig.beeper.beeps, 0);
        QCOMPARE(rig.pump.sleeps, 0);
        QVERIFY(obs.netName(app.dialog) == before);
    }

    // Run on a desktop without a window manager: the input focus names the window in front.
    void inputFocusWithoutWindowManager() {
        if (!qEnvironmentVariableIsSet("TELLWICK_TEST_NO_WM"))
            QSKIP("needs a desktop without a window manager");
        Foreign app({QStringLiteral("--title"), QStringLiteral("Unmanaged"), QStringLiteral("--focus")});
        QVERIFY(app.window);
        Rig rig;
        QVERIFY(rig.waitForeground(app.window));
        QVERIFY(rig.bar.IsTitleWindow(app.window));
        QCOMPARE(rig.windows->parent(app.window), rig.windows->desktopWindow());
    }

    // Run on the offscreen platform: no X11 display, so no foreign windows.
    void unavailableWithoutX11() {
        if (!qEnvironmentVariableIsSet("TELLWICK_TEST_OFFSCREEN"))
            QSKIP("needs the offscreen platform");
        QVERIFY(!tw::platform::X11Available());
        tw::platform::Cp1252 cp;
        QVERIFY(!tw::platform::CreateX11Windows(cp)->reachable());
    }
};

QTEST_MAIN(TitleBarX11Test)
#include "test_titlebar_x11.moc"
