// The program's command line (GNU conventions, read with QCommandLineParser) and the verbs that
// the running copy carries out for a second one: Verbs() is the one table of them, so that a new
// verb is one line there (and the TRMForm method it calls).
#pragma once

#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/InstanceChannel.h"

namespace tw {

class TRMForm;

struct Verb {
    std::string_view name;        // the option (--name) and the verb on the single-instance channel
    std::string_view valueName;   // the option's argument in --help; empty: the verb takes none
    std::string_view description; // its line in --help; empty: not an option ("activate", a plain start)
    bool reaches;                 // the program is brought into reach (TRMForm::reach) first
    // Carries the verb out: Done, or Failed when it could not be (the program stays as it was), or
    // Refused for an argument it cannot take; with a line for the second copy to print.
    platform::InstanceAnswer (*run)(TRMForm& form, const std::string& argument);
};

std::span<const Verb> Verbs();
const Verb* FindVerb(std::string_view name);

// What the running copy does with a message from a second copy: Ignored, touching nothing, for an
// unknown verb or one with an argument it does not take (or without one it needs).
platform::InstanceAnswer CarryOut(TRMForm& form, const platform::InstanceMessage& message);

struct CommandLine {
    // Exit: print out (stdout) and err (stderr) and end with status, touching nothing.
    bool exit = false;
    int status = 0;
    std::string out;
    std::string err;
    // Run: hand this to the running copy, or start and then carry it out.
    platform::InstanceMessage message{"activate", {}};
    // --data-dir: empty for the default folder, else the folder given.
    std::optional<std::string> dataDir;
};

// arguments as the program got them, arguments[0] its name. Qt's own options (-platform, -style,
// -session ID and the like) are let through for QApplication.
CommandLine ParseCommandLine(const QStringList& arguments);
// This process's arguments in Unicode (the wide command line on Windows).
QStringList ProgramArguments(int argc, char** argv);

// What a second copy says (out on stdout, err on stderr) and returns once the running copy has
// answered (result not NotRunning); text is the line the answer carried.
struct HandOverOutcome {
    int status = 0;
    std::string out;
    std::string err;
};
HandOverOutcome DescribeHandOver(platform::SendResult result, const platform::InstanceMessage& message,
                                 const std::string& text = {});
// Hands message to the copy listening for identifier. Nothing when none listens; with patience, a
// copy that holds the lock but does not listen yet is tried again every RetryInterval meanwhile.
constexpr std::chrono::milliseconds RetryInterval{100};
std::optional<HandOverOutcome> HandOver(platform::InstanceChannel& channel, const std::string& identifier,
                                        const platform::InstanceMessage& message, int answerTimeoutMs,
                                        std::chrono::milliseconds patience,
                                        const std::function<void(std::chrono::milliseconds)>& sleep);

} // namespace tw
