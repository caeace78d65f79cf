#include "shell/ShellParts.h"

#include "engine/Activation.h"
#include "engine/Monitor.h"
#include "shell/Unit3.h"

// The icon pictures are compiled into the static library: pull them in explicitly.
static void initShellResources() {
    Q_INIT_RESOURCE(shell);
}

namespace tw {

namespace {

// Stands in for the engine's displays: the reminder's note in a message box, then dismissed.
class MessageBoxDisplay : public Activation {
public:
    explicit MessageBoxDisplay(Services& services) : m_services(services) {}
    void Viz_Rem(ReminderRecord& record) override {
        Store& s = m_services.store;
        s.MonitorState = MonitorShowing;
        if (record.Beep != 0)
            m_services.beeper.beep();
        m_services.boxes.information(m_services.codePage.toUtf8(NoteText(record)));
        record.RemDate = 0.0;
        s.MonitorState = MonitorDone;
    }

private:
    Services& m_services;
};

} // namespace

QIcon MainIcon() {
    initShellResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/tellwick-%1.png").arg(size), QSize(size, size));
    return icon;
}

struct ShellParts::Parts {
    bool x11 = false;
    std::unique_ptr<Activation> activation;
    std::unique_ptr<Monitor> monitor;
};

ShellParts::ShellParts(bool x11) : m_parts(std::make_unique<Parts>()) {
    m_parts->x11 = x11;
}

ShellParts::~ShellParts() = default;

platform::ForeignWindows* ShellParts::foreignWindows() const {
    return nullptr;
}

void ShellParts::wireMainWindow(TRMForm&, Services& services, ShellSeams& seams) {
    m_parts->activation = std::make_unique<MessageBoxDisplay>(services);
    m_parts->monitor = std::make_unique<Monitor>(services.store, services.clock, services.boxes, *m_parts->activation);
    seams.monRem = [m = m_parts->monitor.get()] { m->Mon_Rem(); };
}

void ShellParts::createWindows(TRMForm&, Services&, TAboutBox&, ShellSeams&) {}

} // namespace tw
