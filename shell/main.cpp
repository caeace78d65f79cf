// Tellwick's entry point: the command line, the hand-over to a running copy, the single-instance
// lock and the data folder, --add with no copy running, the shared services, the main window and
// every other window, then the event loop. The platform's back ends come from
// MakePlatformBackends, which CMake takes from the platform's own source file.
#include <QApplication>
#include <QSessionManager>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/InstanceChannel.h"
#include "platform/PlatformBackends.h"
#include "platform/SingleInstance.h"
#include "platform/qt/InstanceChannelNotifier.h"
#include "platform/qt/QtBackends.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtTrayHost.h"
#include "shell/CommandLine.h"
#include "shell/DataFolder.h"
#include "shell/GraphicalSession.h"
#include "shell/MainWindow.h"
#include "shell/PrintText.h"
#include "shell/ShellWiring.h"
#include "store/QuickAdd.h"

namespace {

// How long a second copy waits for the running copy's answer: the running copy may be starting
// up still (it answers once its windows are built) or saving.
constexpr int AnswerTimeoutMs = 15000;
// How long a second copy keeps trying while the copy that holds the lock is not listening yet.
constexpr std::chrono::milliseconds StartingPatience{10000};

// Hands message to the running copy: the status this process ends with, or nothing when no copy
// listens.
std::optional<int> handOver(tw::platform::InstanceChannel& channel, const std::string& identifier,
                            const tw::platform::InstanceMessage& message, std::chrono::milliseconds patience) {
    const auto outcome = tw::HandOver(channel, identifier, message, AnswerTimeoutMs, patience,
                                      [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); });
    if (!outcome)
        return std::nullopt;
    tw::PrintText(outcome->out, false);
    tw::PrintText(outcome->err, true);
    return outcome->status;
}

// The folder of --data-dir, made with its parents; an empty path for the working directory.
std::optional<std::filesystem::path> makeDataFolder(const tw::CommandLine& command) {
    if (!command.dataDir)
        return std::filesystem::path();
    const std::filesystem::path folder =
        command.dataDir->empty()
            ? tw::DefaultDataFolder(tw::SystemGetEnv)
            : std::filesystem::path(std::u8string(command.dataDir->begin(), command.dataDir->end()));
    if (const auto error = tw::MakeDataFolder(folder)) {
        tw::PrintText("tellwick: " + *error + "\n", true);
        return std::nullopt;
    }
    return folder;
}

// Under the lock: works in the data folder from here on. The default folder takes over the files
// that earlier installs kept in the home folder. False after a line on stderr.
bool enterDataFolder(const tw::CommandLine& command, const std::filesystem::path& dataFolder) {
    if (!command.dataDir)
        return true;
    std::filesystem::path workIn = dataFolder;
    if (command.dataDir->empty()) {
        const tw::Migration moved = tw::MoveEarlierFiles(tw::HomeFolder(tw::SystemGetEnv), dataFolder);
        if (!moved.warning.empty())
            tw::PrintText("tellwick: " + moved.warning + "\n", true);
        workIn = moved.workIn;
    }
    std::error_code ec;
    std::filesystem::current_path(workIn, ec);
    if (ec) {
        tw::PrintText("tellwick: cannot work in the data folder: " + ec.message() + "\n", true);
        return false;
    }
    return true;
}

// --add with no copy listening: the reminder goes into "rd.dt" of the data folder, under the lock so
// that no copy starts meanwhile, with no window and no display. A copy that holds the lock but does
// not listen yet takes it once it listens.
int addWithoutCopy(const tw::CommandLine& command, tw::platform::InstanceGuard& guard,
                   tw::platform::InstanceChannel& channel, const std::string& identifier) {
    const auto dataFolder = makeDataFolder(command);
    if (!dataFolder)
        return 1;
    if (!guard.acquire(identifier))
        return handOver(channel, identifier, command.message, StartingPatience).value_or(1);
    if (!enterDataFolder(command, *dataFolder))
        return 1;
    const tw::platform::CoreBackends core = tw::platform::MakeCoreBackends();
    tw::Store store(*core.files);
    const tw::QuickAddResult r = tw::AddQuickEntryToFile(store, command.message.argument,
                                                         {*core.clock, *core.timeZone, *core.locale, *core.codePage});
    if (r.status == tw::QuickAddStored)
        tw::PrintText(r.line + "\n", false);
    else
        tw::PrintText("tellwick: " + r.line + "\n", true);
    return r.status;
}

} // namespace

int main(int argc, char** argv) {
    // 1. The command line: --help, --version and mistakes end here, with or without a desktop.
    const tw::CommandLine command = tw::ParseCommandLine(tw::ProgramArguments(argc, argv));
    if (command.exit) {
        tw::PrintText(command.out, false);
        tw::PrintText(command.err, true);
        return command.status;
    }

    // 2. One copy per executable path. A copy that runs takes the command (a plain start asks it to
    // come into reach), and this one ends before it builds any window or touches a file.
    const std::unique_ptr<tw::platform::InstanceChannel> channel = tw::platform::MakeInstanceChannel();
    const std::string identifier = tw::platform::ExecutableIdentifier();
    if (const auto status = handOver(*channel, identifier, command.message, std::chrono::milliseconds(0)))
        return *status;
    const std::unique_ptr<tw::platform::InstanceGuard> guard = tw::platform::MakeInstanceGuard();
    if (command.message.verb == "quit") {
        // No copy runs (or one is just starting: it gets the command once it listens).
        if (guard->acquire(identifier))
            return 0;
        return handOver(*channel, identifier, command.message, StartingPatience).value_or(0);
    }
    if (command.message.verb == "add")
        return addWithoutCopy(command, *guard, *channel, identifier);
    // Without a desktop session Qt would abort: say so and end before anything is touched.
    if (!tw::RequireGraphicalSession())
        return 1;
    const auto dataFolder = makeDataFolder(command);
    if (!dataFolder)
        return 1;
    if (!guard->acquire(identifier))
        return handOver(*channel, identifier, command.message, StartingPatience).value_or(0);
    // Listening from here on: a second copy waits for its answer until the windows are built.
    channel->listen(identifier);
    if (!enterDataFolder(command, *dataFolder))
        return 1;

    // 3. The application and its title, the caption of plain message boxes.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwick"));
    QApplication::setApplicationVersion(QStringLiteral(TELLWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tellwick"));
    QApplication::setQuitOnLastWindowClosed(false);
    tw::platform::PlatformBackends platform = tw::platform::MakePlatformBackends();

    // The shared services.
    tw::platform::QtMessageBoxes boxes;
    tw::platform::QtEventPump pump;
    tw::platform::QtHelpViewer help(boxes);
    tw::Store store(*platform.files);
    tw::Services services{store, *platform.clock,  *platform.locale, *platform.codePage, boxes, *platform.beeper, pump,
                          help,  *platform.windows};

    // 4. The main window: hot key, help file, title state, the two files, initial state.
    const QIcon mainIcon = tw::MainIcon();
    tw::platform::QtTrayHost trayHost;
    tw::TRMForm form(services, *platform.alarm, *platform.hotKey, *platform.desktop, &trayHost);
    form.setWindowIcon(mainIcon);
    platform.startUp->attachMainWindow({&form, [&form] { return form.saveAll(); }, [&form] { form.endSession(); }});
    QObject::connect(&form, &tw::TRMForm::helpFileNeeded, &form,
                     [&help] { help.setHelpFile(tw::platform::FindHelpFile(QApplication::applicationDirPath())); });
    form.FormCreate();

    // 5. Every other window, created once and hidden: editor, pop-up, about box, list, log.
    tw::ShellWiring wiring(form, services);
    // Repeating reminders in the local time zone; the "Missed reminders" notice opens the expired list.
    wiring.wireRepeats(services, *platform.timeZone);

    // 6. The application icon.
    QApplication::setWindowIcon(mainIcon);

    // The session ends, or the system asks the program to end: both files are saved as "E&xit"
    // saves them, without asking.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager& manager) {
        if (!form.saveAll())
            manager.cancel();
    });
    platform.startUp->startUpFinished();
    // Commands of second copies, also those that came during start-up.
    tw::platform::InstanceChannelNotifier commands(
        *channel, [&form](const tw::platform::InstanceMessage& m) { return tw::CarryOut(form, m); });
    commands.start();
    // A command given to this first copy is carried out once the event loop runs.
    if (command.message.verb != "activate")
        QTimer::singleShot(0, &form, [&form, message = command.message] { tw::CarryOut(form, message); });
    // exit, not quit: quit asks every window to close first, and the editor or the list, when open,
    // only hide, which would call the end off and leave the program running without its icon.
    QObject::connect(
        &form, &tw::TRMForm::programEnded, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    // The session manager ends the program after its save: the main window still gives a changed
    // title back, closes help and gives up the hot key, as at every end.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form, [&form] {
        if (!form.ended())
            form.close();
    });

    // 7. The main window stays hidden; the event loop runs.
    return QApplication::exec();
}
