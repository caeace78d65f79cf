// Tellwick's entry point: builds the application and runs its event loop.
#include <QApplication>
#include <QTimer>

#include "engine/Monitor.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtBackends.h"
#include "store/IoError.h"
#include "store/Store.h"

namespace {

// Until the displays exist a due reminder is taken and handed straight back as shown.
class NoDisplay : public tw::Activation {
public:
    explicit NoDisplay(tw::Store& s) : m_store(s) {}
    void Viz_Rem(tw::ReminderRecord&) override {}

private:
    tw::Store& m_store;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tellwick"));
    QApplication::setQuitOnLastWindowClosed(false);

    tw::platform::PosixFileSystem files;
    tw::platform::PosixClock clock;
    tw::platform::QtMessageBoxes boxes;
    tw::Store store(files);
    tw::GuardIo(boxes, [&] { store.LoadActive(); });
    tw::GuardIo(boxes, [&] { store.LoadExpired(); });
    store.RemindersEnabled = true;
    store.TrayIconShown = true;

    NoDisplay display(store);
    tw::Monitor monitor(store, clock, boxes, display);
    QTimer monitorTimer;
    QObject::connect(&monitorTimer, &QTimer::timeout, [&] { monitor.Mon_Rem(); });
    monitorTimer.start(1000);
    return QApplication::exec();
}
