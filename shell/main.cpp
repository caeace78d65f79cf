// Tellwick's entry point: the single-instance check, the shared services, the main window and
// every other window, then the event loop. The back ends of the platform layer are chosen here,
// once: POSIX and X11 on Linux, Win32 on Windows.
#include <QApplication>
#include <QSessionManager>
#include <memory>

#include "platform/SingleInstance.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/RecentWindowTracker.h"
#include "shell/ShellWiring.h"
#include "shell/Unit1.h"
#include "shell/Unit3.h"

#ifdef _WIN32
#include "platform/win32/WinApplicationWindow.h"
#include "platform/win32/WinBeeper.h"
#include "platform/win32/WinClock.h"
#include "platform/win32/WinCodePage.h"
#include "platform/win32/WinDesktop.h"
#include "platform/win32/WinFileSystem.h"
#include "platform/win32/WinForeignWindows.h"
#include "platform/win32/WinInstanceGuard.h"
#include "platform/win32/WinLocale.h"
#include "platform/win32/WinNativeEventFilter.h"
#else
#include "platform/Cp1252.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixLocale.h"
#include "platform/qt/QtInstanceActivation.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11HotKey.h"
#include "platform/x11/X11Windows.h"
#include "shell/TerminationWatcher.h"
#endif

int main(int argc, char** argv) {
    // 1. The application and its title, the caption of plain message boxes.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwick"));
    QApplication::setApplicationVersion(QStringLiteral(TELLWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tellwick"));
    QApplication::setQuitOnLastWindowClosed(false);
#ifndef _WIN32
    // SIGTERM and SIGHUP are caught from here on; one that comes during start-up waits until the
    // windows are built, then ends the program with a save.
    tw::TerminationWatcher termination;
    termination.setHeld(true);
#endif

    // 2. One copy per executable path. A second copy asks the first to come forward and ends
    // before it builds any window, shows anything or touches a file.
    tw::platform::RecentWindowTracker recentWindow;
#ifdef _WIN32
    namespace win = tw::platform::win32;
    const std::string identifier = win::WinInstanceIdentifier(QApplication::applicationFilePath().toStdWString());
    win::WinInstanceGuard guard;
    if (!guard.acquire(identifier)) {
        guard.activateFirstCopy(identifier);
        return 0;
    }
    win::WinApplicationWindow applicationWindow([&recentWindow] { recentWindow.bringForward(); });

    win::WinFileSystem files;
    win::WinClock clock;
    win::WinLocale locale;
    win::WinCodePage codePage;
    win::WinBeeper beeper;
    std::unique_ptr<tw::platform::ForeignWindows> windows = std::make_unique<win::WinForeignWindows>();
    auto hotKey = std::make_unique<win::WinHotKey>(0);
    auto desktop = std::make_unique<win::WinDesktopGeometry>();
#else
    const std::string identifier = tw::platform::InstanceIdentifier(QApplication::applicationFilePath().toStdString());
    tw::platform::PosixInstanceGuard guard([](const std::string& id) { tw::platform::RequestActivation(id); });
    if (!guard.acquire(identifier)) {
        guard.activateFirstCopy(identifier);
        return 0;
    }
    tw::platform::ActivationServer activation;
    activation.listen(identifier);
    QObject::connect(&activation, &tw::platform::ActivationServer::activationRequested, &recentWindow,
                     [&recentWindow] { recentWindow.bringForward(); });

    tw::platform::PosixFileSystem files;
    tw::platform::PosixClock clock;
    tw::platform::PosixLocale locale;
    tw::platform::Cp1252 codePage;
    tw::platform::QtBeeper beeper;
    // Other programs' windows and the hot key need an X11 display (also XWayland); without one,
    // title reminders are shown as pop-ups and there is no Ctrl+F2.
    std::unique_ptr<tw::platform::ForeignWindows> windows = tw::platform::CreateX11Windows(codePage);
    std::unique_ptr<tw::platform::X11HotKey> hotKey;
    std::unique_ptr<tw::platform::X11Desktop> desktop;
    if (tw::platform::X11Available()) {
        hotKey = std::make_unique<tw::platform::X11HotKey>();
        desktop = std::make_unique<tw::platform::X11Desktop>();
    }
#endif

    // The shared services.
    tw::platform::QtMessageBoxes boxes;
    tw::platform::QtEventPump pump;
    tw::platform::QtHelpViewer help(boxes);
    tw::Store store(files);
    tw::Services services{store, clock, locale, codePage, boxes, beeper, pump, help, windows.get()};
    tw::ShellWiring wiring;

    // 3. The main window: hot key, help file, title state, the two files, initial state.
    const QIcon mainIcon = tw::MainIcon();
    tw::TRMForm form(services, hotKey.get(), desktop.get());
    tw::RMForm = &form;
    form.setMainIcon(mainIcon);
#ifdef _WIN32
    // WM_HOTKEY goes to the main window's handle, which Qt may create anew; the end of the
    // session saves as "E&xit" does.
    win::WinHotKeyBinding hotKeyBinding(*hotKey, form);
    win::WinSessionEnd sessionEnd([&form] { return form.saveAll(); });
    win::WinNativeEventFilter nativeEvents(hotKey.get(), &sessionEnd);
    app.installNativeEventFilter(&nativeEvents);
#endif
    tw::ShellSeams seams;
    wiring.wireMainWindow(form, services, seams);
    seams.findHelpFile = [&help] { help.setHelpFile(tw::platform::FindHelpFile(QApplication::applicationDirPath())); };
    form.setSeams(seams);
    form.FormCreate();

    // 4. Every other window, created once and hidden: editor, pop-up, about box, list, log.
    tw::TAboutBox aboutBox(mainIcon);
    wiring.createWindows(form, services, seams);
    form.setAboutBox(&aboutBox);
    form.setSeams(seams);

    // 5. The application icon.
    QApplication::setWindowIcon(mainIcon);

    // The session ends, or the system asks the program to end: both files are saved as "E&xit"
    // saves them, without asking.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager& manager) {
        if (!form.saveAll())
            manager.cancel();
    });
#ifndef _WIN32
    QObject::connect(&termination, &tw::TerminationWatcher::terminationRequested, &form,
                     [&form](int) { form.endSession(); });
    termination.setHeld(false);
#endif
    QObject::connect(&form, &tw::TRMForm::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // The session manager ends the program after its save: the main window still gives a changed
    // title back, closes help and gives up the hot key, as at every end.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] {
        if (!form.ended())
            form.close();
    });

    // 6. and 7. The main window stays hidden; the event loop runs.
    const int result = QApplication::exec();
#ifndef _WIN32
    activation.close();
#endif
    return result;
}
