// The command line: the verb table, the options, --help and --version, and what a second copy says
// about the running copy's answer.
#include "shell/CommandLine.h"

#include <QCommandLineParser>

#include "shell/MainWindow.h"
#include "store/QuickAdd.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

namespace tw {

namespace {

using platform::InstanceAnswer;
using platform::InstanceReply;

constexpr InstanceReply DoneIf(bool ok) {
    return ok ? InstanceReply::Done : InstanceReply::Failed;
}

// The running copy's answer to --add: the status of QuickAdd.h as the reply, with its line.
InstanceAnswer QuickAddAnswer(const QuickAddResult& r) {
    const InstanceReply reply = r.status == QuickAddStored    ? InstanceReply::Done
                                : r.status == QuickAddRefused ? InstanceReply::Refused
                                                              : InstanceReply::Failed;
    return {reply, r.line};
}

constexpr Verb VerbTable[] = {
    {"activate", "", "", true, [](TRMForm&, const std::string&) { return InstanceAnswer(InstanceReply::Done); }},
    {"new", "", "open the editor for a new reminder", true,
     [](TRMForm& f, const std::string&) { return f.m_ReminderClick(), InstanceAnswer(InstanceReply::Done); }},
    {"list", "", "open the list of reminders", true,
     [](TRMForm& f, const std::string&) { return f.m_OptionsClick(), InstanceAnswer(InstanceReply::Done); }},
    {"menu", "", "open the menu as Ctrl+F2 does (the window \"Tellwick\" where no menu can be shown)", false,
     [](TRMForm& f, const std::string&) { return f.openMenu(), InstanceAnswer(InstanceReply::Done); }},
    {"quit", "", "end the running copy as the end of the session does: both files saved, no question", false,
     [](TRMForm& f, const std::string&) { return f.endSession(), InstanceAnswer(DoneIf(f.ended())); }},
    {"add", "TEXT", "store the reminder TEXT describes (\"tomorrow 9am call the garage\"), print it and end", false,
     [](TRMForm& f, const std::string& text) { return QuickAddAnswer(f.takeQuickEntry(text)); }},
};

constexpr char Program[] = "tellwick";

#ifdef _WIN32
constexpr char DefaultFolderText[] = "%APPDATA%\\Tellwick";
#else
constexpr char DefaultFolderText[] = "$XDG_DATA_HOME/tellwick (~/.local/share/tellwick)";
#endif

std::string usageLine() {
    return std::string("Usage: ") + Program + " [OPTION]...\n";
}

std::string tryHelp() {
    return std::string("Try '") + Program + " --help' for more information.\n";
}

std::string helpText() {
    std::string text = usageLine();
    text += "Reminders in the notification area. Started again, or with a command below, it hands over to the\n"
            "copy that runs and ends.\n\n";
    auto line = [&text](std::string left, std::string_view description) {
        left = "  " + left;
        text += left;
        text += left.size() < 24 ? std::string(24 - left.size(), ' ') : "\n" + std::string(24, ' ');
        text += description;
        text += '\n';
    };
    for (const Verb& v : VerbTable) {
        if (v.description.empty())
            continue;
        std::string left = "--" + std::string(v.name);
        if (!v.valueName.empty())
            left += " " + std::string(v.valueName);
        line(left, v.description);
    }
    line("--data-dir[=DIR]", "keep the reminder files in DIR, made if missing; without DIR in");
    text += std::string(24, ' ') + DefaultFolderText + "\n";
    line("-h, --help", "show this help and end");
    line("--version", "show the version and end");
    text += "\nWith no copy running, --new, --list and --menu start the program first, --quit ends at once, and\n"
            "--add stores into the reminder file itself. --add ends with status 2, storing nothing, for a TEXT\n"
            "it cannot read or one in the past. Without --data-dir the reminder files are in the working\n"
            "directory.\n";
    return text;
}

CommandLine usageError(const std::string& what) {
    CommandLine c;
    c.exit = true;
    c.status = 2;
    c.err = std::string(Program) + ": " + what + "\n" + usageLine() + tryHelp();
    return c;
}

// Qt's own options, read by QApplication: parsed here only so that they are not refused.
constexpr const char* QtOptionsWithValue[] = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                              "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                              "display",         "geometry",           "title",         "name",
                                              "style",           "stylesheet",         "qmljsdebugger"};
constexpr const char* QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

} // namespace

std::span<const Verb> Verbs() {
    return VerbTable;
}

const Verb* FindVerb(std::string_view name) {
    for (const Verb& v : VerbTable)
        if (v.name == name)
            return &v;
    return nullptr;
}

InstanceAnswer CarryOut(TRMForm& form, const platform::InstanceMessage& message) {
    const Verb* verb = FindVerb(message.verb);
    if (verb == nullptr || verb->valueName.empty() != message.argument.empty())
        return InstanceReply::Ignored;
    if (form.ended())
        return InstanceReply::Failed;
    if (verb->reaches)
        form.reach();
    return verb->run(form, message.argument);
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    // --data-dir takes its folder only as --data-dir=DIR, which QCommandLineParser cannot express.
    QStringList rest;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (i > 0 && !optionsEnded &&
            (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir=")))) {
            const QString dir = a.mid(11);
            if (a.size() > 10 && dir.isEmpty())
                return usageError("option '--data-dir=' needs a folder");
            result.dataDir = dir.toStdString();
            continue;
        }
        if (a == QLatin1String("--"))
            optionsEnded = true;
        rest << a;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    for (const Verb& v : VerbTable) {
        if (v.description.empty())
            continue;
        parser.addOption(QCommandLineOption(QString::fromLatin1(v.name.data(), qsizetype(v.name.size())), QString(),
                                            QString::fromLatin1(v.valueName.data(), qsizetype(v.valueName.size()))));
    }
    for (const char* name : QtOptionsWithValue) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : QtFlags) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    if (!parser.parse(rest)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            const QString spelled = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            return usageError("unknown option '" + spelled.toStdString() + "'");
        }
        return usageError(parser.errorText().toStdString());
    }
    if (parser.isSet(help)) {
        result.exit = true;
        result.out = helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.exit = true;
        result.out = std::string("Tellwick ") + TELLWICK_VERSION + "\n";
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().first().toStdString() + "'");
    const Verb* chosen = nullptr;
    for (const Verb& v : VerbTable) {
        if (v.description.empty() || !parser.isSet(QString::fromLatin1(v.name.data(), qsizetype(v.name.size()))))
            continue;
        if (chosen != nullptr)
            return usageError("--" + std::string(chosen->name) + " and --" + std::string(v.name) +
                              " cannot be given together");
        chosen = &v;
    }
    if (chosen != nullptr) {
        result.message.verb = std::string(chosen->name);
        if (!chosen->valueName.empty()) {
            result.message.argument =
                parser.value(QString::fromLatin1(chosen->name.data(), qsizetype(chosen->name.size()))).toStdString();
            if (result.message.argument.empty() || result.message.argument.size() > platform::MaxArgumentSize)
                return usageError("the " + std::string(chosen->valueName) + " of --" + std::string(chosen->name) +
                                  " must be 1 to " + std::to_string(platform::MaxArgumentSize) + " bytes long");
        }
    }
    return result;
}

QStringList ProgramArguments(int argc, char** argv) {
    QStringList list;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int n = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n)) {
        for (int i = 0; i < n; ++i)
            list << QString::fromWCharArray(wide[i]);
        ::LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
#endif
    return list;
}

HandOverOutcome DescribeHandOver(platform::SendResult result, const platform::InstanceMessage& message,
                                 const std::string& text) {
    using platform::SendResult;
    const std::string option = "--" + message.verb;
    const std::string prefix = std::string(Program) + ": ";
    switch (result) {
    case SendResult::Done:
        return {0, text.empty() ? text : text + "\n", {}};
    case SendResult::Refused:
        return {2, {}, prefix + (text.empty() ? "the running copy refused " + option : text) + "\n"};
    case SendResult::Failed:
        if (!text.empty())
            return {1, {}, prefix + text + "\n"};
        if (message.verb == "quit")
            return {1, {}, prefix + "the running copy could not save its files and keeps running\n"};
        return {1, {}, prefix + "the running copy is ending and did not carry out " + option + "\n"};
    case SendResult::Ignored:
        return {1, {}, prefix + "the running copy does not know " + option + "; end it and start this version\n"};
    case SendResult::NotRunning:
    case SendResult::NoAnswer:
        break;
    }
    // A plain start that finds the running copy unresponsive ends quietly, as a second copy always has.
    if (message.verb == "activate")
        return {0, {}, {}};
    return {1, {}, prefix + "the running copy did not answer " + option + "\n"};
}

std::optional<HandOverOutcome> HandOver(platform::InstanceChannel& channel, const std::string& identifier,
                                        const platform::InstanceMessage& message, int answerTimeoutMs,
                                        std::chrono::milliseconds patience,
                                        const std::function<void(std::chrono::milliseconds)>& sleep) {
    for (std::chrono::milliseconds waited{0};; waited += RetryInterval) {
        std::string text;
        const platform::SendResult r = channel.send(identifier, message, answerTimeoutMs, &text);
        if (r != platform::SendResult::NotRunning || waited >= patience) {
            if (r == platform::SendResult::NotRunning && patience.count() == 0)
                return std::nullopt;
            return DescribeHandOver(r, message, text);
        }
        sleep(RetryInterval);
    }
}

} // namespace tw
