// Tellwick's entry point: the single-instance check, the shared services, the main window and
// every other window, then the event loop.
#include <QApplication>
#include <QSessionManager>

#include "engine/Monitor.h"
#include "platform/Cp1252.h"
#include "platform/SingleInstance.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixInstanceGuard.h"
#include "platform/posix/PosixLocale.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtInstanceActivation.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11HotKey.h"
#include "shell/ShellParts.h"
#include "shell/TerminationWatcher.h"
#include "shell/Unit1.h"
#include "shell/Unit3.h"

int main(int argc, char** argv) {
    // 1. The application and its title, the caption of plain message boxes.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwick"));
    QApplication::setApplicationVersion(QStringLiteral(TELLWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tellwick"));
    QApplication::setQuitOnLastWindowClosed(false);

    // 2. One copy per executable path. A second copy asks the first to come forward and ends
    // before it builds any window, shows anything or touches a file.
    const std::string identifier = tw::platform::InstanceIdentifier(QApplication::applicationFilePath().toStdString());
    tw::platform::PosixInstanceGuard guard([](const std::string& id) { tw::platform::RequestActivation(id); });
    if (!guard.acquire(identifier)) {
        guard.activateFirstCopy(identifier);
        return 0;
    }
    tw::platform::ActivationServer activation;
    tw::platform::RecentWindowTracker recentWindow;
    activation.listen(identifier);
    QObject::connect(&activation, &tw::platform::ActivationServer::activationRequested, &recentWindow,
                     [&recentWindow] { recentWindow.bringForward(); });

    // The shared services.
    tw::platform::PosixFileSystem files;
    tw::platform::PosixClock clock;
    tw::platform::PosixLocale locale;
    tw::platform::Cp1252 codePage;
    tw::platform::QtMessageBoxes boxes;
    tw::platform::QtBeeper beeper;
    tw::platform::QtEventPump pump;
    tw::platform::QtHelpViewer help(boxes);
    tw::Store store(files);
    const bool x11 = tw::platform::X11Available();
    tw::ShellParts parts(codePage);
    tw::Services services{store, clock, locale, codePage, boxes, beeper, pump, help, parts.foreignWindows()};

    std::unique_ptr<tw::platform::X11HotKey> hotKey;
    std::unique_ptr<tw::platform::X11Desktop> desktop;
    if (x11) {
        hotKey = std::make_unique<tw::platform::X11HotKey>();
        desktop = std::make_unique<tw::platform::X11Desktop>();
    }

    // 3. The main window: hot key, help file, title state, the two files, initial state.
    const QIcon mainIcon = tw::MainIcon();
    tw::TRMForm form(services, hotKey.get(), desktop.get());
    tw::RMForm = &form;
    form.setMainIcon(mainIcon);
    tw::ShellSeams seams;
    parts.wireMainWindow(form, services, seams);
    seams.findHelpFile = [&help] { help.setHelpFile(tw::platform::FindHelpFile(QApplication::applicationDirPath())); };
    form.setSeams(seams);
    form.FormCreate();

    // 4. Every other window, created once and hidden: editor, pop-up, about box, list, log.
    tw::TAboutBox aboutBox(mainIcon);
    parts.createWindows(form, services, seams);
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
    tw::TerminationWatcher termination;
    QObject::connect(&termination, &tw::TerminationWatcher::terminationRequested, &form,
                     [&form](int) { form.endSession(); });
    QObject::connect(&form, &tw::TRMForm::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // 6. and 7. The main window stays hidden; the event loop runs.
    const int result = QApplication::exec();
    activation.close();
    return result;
}
