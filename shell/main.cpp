// Tellwick's entry point: the single-instance check, the shared services, the main window and
// every other window, then the event loop. The platform's back ends come from
// MakePlatformBackends, which CMake takes from the platform's own source file.
#include <QApplication>
#include <QSessionManager>
#include <memory>

#include "platform/PlatformBackends.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/RecentWindowTracker.h"
#include "shell/GraphicalSession.h"
#include "shell/MainWindow.h"
#include "shell/ShellWiring.h"

int main(int argc, char** argv) {
    // Without a desktop session Qt would abort: say so and end before anything is touched.
    if (!tw::RequireGraphicalSession())
        return 1;
    // 1. The application and its title, the caption of plain message boxes.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwick"));
    QApplication::setApplicationVersion(QStringLiteral(TELLWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tellwick"));
    QApplication::setQuitOnLastWindowClosed(false);
    tw::platform::PlatformBackends platform = tw::platform::MakePlatformBackends();

    // 2. One copy per executable path. A second copy asks the first to come forward and ends
    // before it builds any window, shows anything or touches a file.
    tw::platform::RecentWindowTracker recentWindow;
    if (!platform.startUp->becomeOnlyCopy([&recentWindow] { recentWindow.bringForward(); }))
        return 0;

    // The shared services.
    tw::platform::QtMessageBoxes boxes;
    tw::platform::QtEventPump pump;
    tw::platform::QtHelpViewer help(boxes);
    tw::Store store(*platform.files);
    tw::Services services{
        store, *platform.clock,       *platform.locale, *platform.codePage, boxes, *platform.beeper, pump,
        help,  platform.windows.get()};

    // 3. The main window: hot key, help file, title state, the two files, initial state.
    const QIcon mainIcon = tw::MainIcon();
    tw::TRMForm form(services, *platform.alarm, platform.hotKey.get(), platform.desktop.get());
    form.setWindowIcon(mainIcon);
    platform.startUp->attachMainWindow({&form, [&form] { return form.saveAll(); }, [&form] { form.endSession(); }});
    QObject::connect(&form, &tw::TRMForm::helpFileNeeded, &form,
                     [&help] { help.setHelpFile(tw::platform::FindHelpFile(QApplication::applicationDirPath())); });
    form.FormCreate();

    // 4. Every other window, created once and hidden: editor, pop-up, about box, list, log.
    tw::ShellWiring wiring(form, services);
    // Repeating reminders in the local time zone; the "Missed reminders" notice opens the expired list.
    wiring.wireRepeats(services, *platform.timeZone);

    // 5. The application icon.
    QApplication::setWindowIcon(mainIcon);

    // The session ends, or the system asks the program to end: both files are saved as "E&xit"
    // saves them, without asking.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager& manager) {
        if (!form.saveAll())
            manager.cancel();
    });
    platform.startUp->startUpFinished();
    QObject::connect(&form, &tw::TRMForm::programEnded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // The session manager ends the program after its save: the main window still gives a changed
    // title back, closes help and gives up the hot key, as at every end.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] {
        if (!form.ended())
            form.close();
    });

    // 6. and 7. The main window stays hidden; the event loop runs.
    return QApplication::exec();
}
