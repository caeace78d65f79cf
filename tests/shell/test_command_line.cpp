// Without a display: the command line's options, the channel's message format, and the data folder
// (its default place, its making, and the move of the files earlier installs kept at home).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/InstanceChannel.h"
#include "shell/CommandLine.h"
#include "shell/DataFolder.h"
#include "tests/fakes/FakeInstanceChannel.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace tw;
using platform::FrameStatus;
using platform::InstanceMessage;

namespace {

CommandLine parse(std::initializer_list<const char*> args) {
    QStringList list{QStringLiteral("tellwick")};
    for (const char* a : args)
        list << QString::fromUtf8(a);
    return ParseCommandLine(list);
}

std::string firstLine(const std::string& s) {
    return s.substr(0, s.find('\n'));
}

struct TempDir {
    fs::path path;
    TempDir() {
        static int count = 0;
        path = fs::temp_directory_path() /
               ("tw-cl-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                std::to_string(++count));
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
};

void write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file under dir with its bytes.
std::map<std::string, std::string> contents(const fs::path& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        out[fs::relative(e.path(), dir).generic_string()] = e.is_regular_file() ? read(e.path()) : "<dir>";
    return out;
}

} // namespace

TEST(CommandLine, OptionsTable) {
    const std::string usage = "Usage: tellwick [OPTION]...";
    const std::string tooLong(4097, '9');
    const struct {
        std::initializer_list<const char*> args;
        bool exit;
        int status;
        std::string outStart; // the first line of stdout
        std::string errStart; // the first line of stderr
        std::string verb;
        std::optional<std::string> dataDir;
    } cases[] = {
        {{}, false, 0, "", "", "activate", std::nullopt},
        {{"--help"}, true, 0, usage, "", "", std::nullopt},
        {{"-h", "--new"}, true, 0, usage, "", "", std::nullopt},
        {{"--version"}, true, 0, "Tellwick " TELLWICK_VERSION, "", "", std::nullopt},
        {{"--new"}, false, 0, "", "", "new", std::nullopt},
        {{"--list"}, false, 0, "", "", "list", std::nullopt},
        {{"--menu"}, false, 0, "", "", "menu", std::nullopt},
        {{"--quit"}, false, 0, "", "", "quit", std::nullopt},
        {{"--data-dir"}, false, 0, "", "", "activate", ""},
        {{"--data-dir=/srv/r\xc3\xa9m", "--new"}, false, 0, "", "", "new", "/srv/r\xc3\xa9m"},
        {{"--list", "--data-dir=rel"}, false, 0, "", "", "list", "rel"},
        // Qt's own options are QApplication's: not refused.
        {{"-platform", "offscreen", "-session", "1a2b", "-reverse", "--new"}, false, 0, "", "", "new", std::nullopt},
        {{"--frobnicate"}, true, 2, "", "tellwick: unknown option '--frobnicate'", "", std::nullopt},
        {{"-x"}, true, 2, "", "tellwick: unknown option '-x'", "", std::nullopt},
        {{"--new", "--quit"}, true, 2, "", "tellwick: --new and --quit cannot be given together", "", std::nullopt},
        {{"stray"}, true, 2, "", "tellwick: unexpected argument 'stray'", "", std::nullopt},
        {{"--", "--new"}, true, 2, "", "tellwick: unexpected argument '--new'", "", std::nullopt},
        {{"--data-dir="}, true, 2, "", "tellwick: option '--data-dir=' needs a folder", "", std::nullopt},
        {{"--new=now"}, true, 2, "", "tellwick: Unexpected value after '--new'.", "", std::nullopt},
        {{"--add", "tomorrow 9am call"}, false, 0, "", "", "add", std::nullopt},
        {{"--add=in 2 h tea", "--data-dir=d"}, false, 0, "", "", "add", "d"},
        {{"--add", ""}, true, 2, "", "tellwick: the TEXT of --add must be 1 to 4096 bytes long", "", std::nullopt},
        {{"--add", tooLong.c_str()},
         true,
         2,
         "",
         "tellwick: the TEXT of --add must be 1 to 4096 bytes long",
         "",
         std::nullopt},
        {{"--add"}, true, 2, "", "tellwick: Missing value after '--add'.", "", std::nullopt},
        {{"--add", "9am x", "--quit"},
         true,
         2,
         "",
         "tellwick: --quit and --add cannot be given together",
         "",
         std::nullopt},
    };
    for (const auto& c : cases) {
        const CommandLine r = parse(c.args);
        const std::string name = (c.args.size() > 0 ? *c.args.begin() : "(none)");
        EXPECT_EQ(r.exit, c.exit) << name;
        EXPECT_EQ(r.status, c.status) << name;
        EXPECT_EQ(firstLine(r.out), c.outStart) << name;
        EXPECT_EQ(firstLine(r.err), c.errStart) << name;
        if (!c.exit) {
            EXPECT_EQ(r.message.verb, c.verb) << name;
            EXPECT_EQ(r.dataDir, c.dataDir) << name;
        }
        // A mistake is one line and the usage, on stderr only.
        if (c.status == 2) {
            EXPECT_TRUE(r.out.empty()) << name;
            EXPECT_NE(r.err.find("\n" + usage + "\n"), std::string::npos) << r.err;
        }
    }
    // --help lists every option of the table, and nothing of Qt's.
    const std::string help = parse({"--help"}).out;
    for (const char* option :
         {"--new", "--list", "--menu", "--quit", "--add TEXT", "--data-dir[=DIR]", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.find("platform"), std::string::npos);
    EXPECT_EQ(parse({"--add=in 2 h tea"}).message.argument, "in 2 h tea");
    // Every verb that is an option is known to the channel's side by the same name.
    for (const Verb& v : Verbs())
        EXPECT_EQ(FindVerb(v.name), &v);
    EXPECT_EQ(FindVerb("bogus"), nullptr);
}

// A second copy's hand-over: what it says and its status for each answer of the running copy, and
// how long it keeps trying a copy that holds the lock but does not listen yet.
TEST(CommandLine, HandOver) {
    using platform::SendResult;
    using std::chrono::milliseconds;
    constexpr auto NR = SendResult::NotRunning;
    const struct {
        const char* verb;
        std::vector<SendResult> answers;
        milliseconds patience;
        std::optional<int> status; // nothing: no copy runs, this one starts
        bool says;
        std::size_t sends;
        std::string text = {}; // the answer's line
        std::string out = {};  // what is printed on stdout
        std::string err = {};  // ... and on stderr, when says
    } cases[] = {
        {"new", {}, milliseconds(0), std::nullopt, false, 1},
        {"quit", {SendResult::Done}, milliseconds(0), 0, false, 1},
        {"activate", {SendResult::Done}, milliseconds(0), 0, false, 1},
        {"quit", {SendResult::Failed}, milliseconds(0), 1, true, 1}, // the save failed: it keeps running
        {"list", {SendResult::Failed}, milliseconds(0), 1, true, 1},
        {"new", {SendResult::Ignored}, milliseconds(0), 1, true, 1}, // an older copy without the verb
        {"list", {SendResult::NoAnswer}, milliseconds(0), 1, true, 1},
        {"activate", {SendResult::NoAnswer}, milliseconds(0), 0, false, 1},   // a plain second start: quiet
        {"new", {NR, NR, SendResult::Done}, milliseconds(1000), 0, false, 3}, // the first copy was starting
        {"new", {}, milliseconds(300), 1, true, 4},                           // ... and never listened
        {"activate", {}, milliseconds(300), 0, false, 4},
        // --add: the running copy's line on stdout when stored, on stderr with the status of QuickAdd.h.
        {"add", {SendResult::Done}, milliseconds(0), 0, false, 1, "10/Dec/26 09:00 Once x", "10/Dec/26 09:00 Once x\n"},
        {"add", {SendResult::Refused}, milliseconds(0), 2, true, 1, "No time of day", "", "tellwick: No time of day\n"},
        {"add",
         {SendResult::Refused},
         milliseconds(0),
         2,
         true,
         1,
         "",
         "",
         "tellwick: the running copy refused --add\n"},
        {"add",
         {SendResult::Failed},
         milliseconds(0),
         1,
         true,
         1,
         "rd.dt: disk full",
         "",
         "tellwick: rd.dt: disk full\n"},
        {"add", {SendResult::Ignored}, milliseconds(0), 1, true, 1}, // an older copy without --add
        {"add", {NR, SendResult::Done}, milliseconds(1000), 0, false, 2, "x", "x\n"},
    };
    for (const auto& c : cases) {
        fake::FakeInstanceChannel channel;
        channel.answers.assign(c.answers.begin(), c.answers.end());
        channel.answerText = c.text;
        int sleeps = 0;
        const auto outcome = HandOver(channel, "ID", {c.verb, ""}, 1000, c.patience, [&](milliseconds ms) {
            EXPECT_EQ(ms, RetryInterval);
            ++sleeps;
        });
        ASSERT_EQ(outcome.has_value(), c.status.has_value()) << c.verb;
        EXPECT_EQ(channel.sent.size(), c.sends) << c.verb;
        EXPECT_EQ(static_cast<std::size_t>(sleeps), c.sends - 1) << c.verb;
        if (!outcome)
            continue;
        EXPECT_EQ(outcome->status, *c.status) << c.verb;
        EXPECT_EQ(!outcome->err.empty(), c.says) << c.verb;
        EXPECT_EQ(outcome->out, c.out) << c.verb;
        if (!c.err.empty()) {
            EXPECT_EQ(outcome->err, c.err) << c.verb;
        }
        if (c.says) {
            EXPECT_EQ(outcome->err.rfind("tellwick: ", 0), 0u) << outcome->err;
            EXPECT_EQ(outcome->err.find('\n'), outcome->err.size() - 1) << "one line: " << outcome->err;
        }
    }
}

TEST(InstanceMessages, Framing) {
    const std::string longest(platform::MaxArgumentSize, 'x');
    const struct {
        std::string bytes;
        FrameStatus status;
        InstanceMessage message;
    } cases[] = {
        {"new 0\n", FrameStatus::Complete, {"new", ""}},
        {"add 6\nGr\xc3\xbc\xc3\x9f", FrameStatus::Complete, {"add", "Gr\xc3\xbc\xc3\x9f"}},
        {"add 4096\n" + longest, FrameStatus::Complete, {"add", longest}},
        {"", FrameStatus::Incomplete, {}},
        {"ne", FrameStatus::Incomplete, {}},
        {"new ", FrameStatus::Incomplete, {}},
        {"add 5\nab", FrameStatus::Incomplete, {}},
        {"add 4097\n", FrameStatus::Invalid, {}},                 // longer than an argument can be
        {"add 4096\n" + longest + "y", FrameStatus::Invalid, {}}, // bytes after the message
        {"abcdefghijklmnopq 0\n", FrameStatus::Invalid, {}},      // a verb longer than a verb can be
        {"abcdefghijklmnopq", FrameStatus::Invalid, {}},          // ... known before its end
        {"New 0\n", FrameStatus::Invalid, {}},
        {" 0\n", FrameStatus::Invalid, {}},
        {"new 00\n", FrameStatus::Invalid, {}},
        {"new \n", FrameStatus::Invalid, {}},
        {"new 12345", FrameStatus::Invalid, {}},
        {"new x\n", FrameStatus::Invalid, {}},
        {"add 2\n\xc3(", FrameStatus::Invalid, {}},        // not UTF-8
        {"add 3\n\xed\xa0\x80", FrameStatus::Invalid, {}}, // a surrogate
        {"add 1\n" + std::string(1, '\0'), FrameStatus::Invalid, {}},
        {std::string(platform::MaxMessageSize + 1, 'a'), FrameStatus::Invalid, {}},
    };
    for (const auto& c : cases) {
        InstanceMessage m;
        EXPECT_EQ(platform::DecodeInstanceMessage(c.bytes, m), c.status) << c.bytes.substr(0, 40);
        if (c.status == FrameStatus::Complete) {
            EXPECT_EQ(m, c.message);
            EXPECT_EQ(platform::EncodeInstanceMessage(m), c.bytes);
        }
    }
    // What cannot be decoded is never sent.
    for (const InstanceMessage& bad : std::initializer_list<InstanceMessage>{
             {"", ""}, {"New", ""}, {"add", longest + "y"}, {"add", "\xff"}, {"abcdefghijklmnopq", ""}})
        EXPECT_EQ(platform::EncodeInstanceMessage(bad), "") << bad.verb;
}

// The running copy's answer: what it sends for any text, and what a second copy reads from any bytes.
TEST(InstanceMessages, AnswerFraming) {
    using platform::InstanceAnswer;
    using platform::InstanceReply;
    using platform::SendResult;
    const std::string longest(platform::MaxAnswerTextSize, 'x');
    // Encoded, then read back.
    const struct {
        InstanceAnswer answer;
        std::string bytes;
        SendResult result;
        std::string text;
    } sent[] = {
        {{InstanceReply::Done}, "+0\n", SendResult::Done, ""},
        {{InstanceReply::Done, "09/Dec/26 09:00 Once Gr\xc3\xbc\xc3\x9f"},
         "+27\n09/Dec/26 09:00 Once Gr\xc3\xbc\xc3\x9f",
         SendResult::Done,
         "09/Dec/26 09:00 Once Gr\xc3\xbc\xc3\x9f"},
        {{InstanceReply::Refused, "No note"}, "!7\nNo note", SendResult::Refused, "No note"},
        {{InstanceReply::Failed, "a\nb\x1b[2J\x7f"}, "-8\na?b?[2J?", SendResult::Failed, "a?b?[2J?"},
        {{InstanceReply::Ignored, "\xff\xfe"}, "?0\n", SendResult::Ignored, ""}, // not UTF-8: left out
        {{InstanceReply::Done, longest + "y"}, "+2048\n" + longest, SendResult::Done, longest},
        // Cut at a character's start: the two-byte character the limit falls into goes whole.
        {{InstanceReply::Done, std::string(2047, 'x') + "\xc3\xbc"},
         "+2047\n" + std::string(2047, 'x'),
         SendResult::Done,
         std::string(2047, 'x')},
    };
    for (const auto& c : sent) {
        EXPECT_EQ(platform::EncodeInstanceAnswer(c.answer), c.bytes) << c.bytes.substr(0, 20);
        std::string text = "stale";
        EXPECT_EQ(platform::ReadAnswer(c.bytes, &text), c.result) << c.bytes.substr(0, 20);
        EXPECT_EQ(text, c.text);
    }
    // Bytes as they may come: an earlier version's one byte, cut-off or hostile answers.
    const struct {
        std::string bytes;
        FrameStatus status;
        SendResult result;
        std::string text;
    } received[] = {
        {"", FrameStatus::Incomplete, SendResult::NoAnswer, ""},
        {"+", FrameStatus::Incomplete, SendResult::Done, ""}, // an earlier version
        {"!", FrameStatus::Incomplete, SendResult::Refused, ""},
        {"+5\nab", FrameStatus::Incomplete, SendResult::Done, ""},
        {"x0\n", FrameStatus::Invalid, SendResult::NoAnswer, ""},
        {"+05\nabcde", FrameStatus::Invalid, SendResult::Done, ""},
        {"+2049\n", FrameStatus::Invalid, SendResult::Done, ""},
        {"+99999999999999999999\n", FrameStatus::Invalid, SendResult::Done, ""},
        {"+\n", FrameStatus::Invalid, SendResult::Done, ""},
        {"+1\nab", FrameStatus::Invalid, SendResult::Done, ""},
        {"-2\n\r\n", FrameStatus::Invalid, SendResult::Failed, ""},
        {"-1\n\x80", FrameStatus::Invalid, SendResult::Failed, ""},
        {"-1\n" + std::string(1, '\0'), FrameStatus::Invalid, SendResult::Failed, ""},
        {"+" + std::string(platform::MaxAnswerSize, '1'), FrameStatus::Invalid, SendResult::Done, ""},
    };
    for (const auto& c : received) {
        InstanceAnswer a;
        EXPECT_EQ(platform::DecodeInstanceAnswer(c.bytes, a), c.status) << c.bytes.substr(0, 20);
        std::string text = "stale";
        EXPECT_EQ(platform::ReadAnswer(c.bytes, &text), c.result) << c.bytes.substr(0, 20);
        EXPECT_EQ(text, c.result == SendResult::NoAnswer ? "stale" : c.text) << c.bytes.substr(0, 20);
    }
}

TEST(DataFolder, DefaultPlaces) {
    using Env = std::map<std::string, std::string>;
    auto run = [](const Env& env) {
        return DefaultDataFolder([&env](const char* n) -> const char* {
            const auto it = env.find(n);
            return it == env.end() ? nullptr : it->second.c_str();
        });
    };
#ifdef _WIN32
    EXPECT_EQ(run({{"APPDATA", "C:\\Users\\J\xc3\xbcrgen\\AppData\\Roaming"}}),
              fs::path(u8"C:\\Users\\J\u00fcrgen\\AppData\\Roaming\\Tellwick"));
    EXPECT_EQ(run({}), fs::path());
#else
    const struct {
        Env env;
        fs::path folder;
    } cases[] = {
        {{{"HOME", "/home/j"}}, "/home/j/.local/share/tellwick"},
        {{{"HOME", "/home/j"}, {"XDG_DATA_HOME", "/data"}}, "/data/tellwick"},
        {{{"HOME", "/home/j"}, {"XDG_DATA_HOME", "rel"}}, "/home/j/.local/share/tellwick"}, // relative: ignored
        {{{"HOME", "/home/j"}, {"XDG_DATA_HOME", ""}}, "/home/j/.local/share/tellwick"},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.env), c.folder);
#endif
}

TEST(DataFolder, MakingIt) {
    TempDir t;
    write(t.path / "file", "x");
    EXPECT_EQ(MakeDataFolder(t.path / "a" / "b" / "c"), std::nullopt);
    EXPECT_TRUE(fs::is_directory(t.path / "a" / "b" / "c"));
    EXPECT_EQ(MakeDataFolder(t.path / "a"), std::nullopt) << "an existing folder is fine";
    const auto before = contents(t.path);
    const auto inFile = MakeDataFolder(t.path / "file" / "sub");
    ASSERT_TRUE(inFile.has_value());
    EXPECT_NE(inFile->find("is not a folder"), std::string::npos) << *inFile;
    EXPECT_EQ(inFile->find('\n'), std::string::npos);
#ifndef _WIN32
    if (::geteuid() != 0) {
        // A folder that may not be written: the parents this call made go again.
        fs::create_directory(t.path / "locked");
        fs::permissions(t.path / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        const auto denied = MakeDataFolder(t.path / "locked" / "x" / "y");
        ASSERT_TRUE(denied.has_value());
        EXPECT_NE(denied->find("Permission denied"), std::string::npos) << *denied;
        fs::permissions(t.path / "locked", fs::perms::owner_all);
        fs::remove(t.path / "locked");
    }
#endif
    EXPECT_EQ(contents(t.path), before) << "nothing touched";
}

TEST(DataFolder, EarlierFilesMoveOnceAndNothingIsLost) {
    const struct {
        const char* name;
        std::map<std::string, std::string> home;   // before
        std::map<std::string, std::string> folder; // before
        int moved;
        bool homeUsed;
        std::map<std::string, std::string> folderAfter;
    } cases[] = {
        {"all three",
         {{"rd.dt", "A"}, {"re.dt", "E"}, {"activity.csv", "L"}},
         {},
         3,
         false,
         {{"rd.dt", "A"}, {"re.dt", "E"}, {"activity.csv", "L"}}},
        {"only the log", {{"activity.csv", "L"}, {"other", "o"}}, {}, 1, false, {{"activity.csv", "L"}}},
        {"nothing at home", {{"other", "o"}}, {}, 0, false, {}},
        {"the folder has one already",
         {{"rd.dt", "A"}, {"re.dt", "E"}},
         {{"re.dt", "new"}},
         0,
         false,
         {{"re.dt", "new"}}},
    };
    for (const auto& c : cases) {
        TempDir t;
        const fs::path home = t.path / "home", folder = home / ".local/share/tellwick";
        fs::create_directories(folder);
        for (const auto& [n, b] : c.home)
            write(home / n, b);
        for (const auto& [n, b] : c.folder)
            write(folder / n, b);
        const Migration m = MoveEarlierFiles(home, folder);
        EXPECT_EQ(m.moved, c.moved) << c.name;
        EXPECT_EQ(m.workIn, c.homeUsed ? home : folder) << c.name;
        EXPECT_TRUE(m.warning.empty()) << c.name;
        std::map<std::string, std::string> after;
        for (const auto& e : fs::directory_iterator(folder))
            after[e.path().filename().string()] = read(e.path());
        EXPECT_EQ(after, c.folderAfter) << c.name;
        // Whatever did not move is still at home.
        for (const auto& [n, b] : c.home) {
            if (!c.folderAfter.count(n) || c.folder.count(n)) {
                EXPECT_EQ(read(home / n), b) << c.name << " " << n;
            }
        }
    }
    // "re.dt" cannot be moved: "rd.dt", moved already, comes back, and the home folder is used.
    TempDir t;
    const fs::path home = t.path / "home", folder = t.path / "data";
    fs::create_directories(folder);
    fs::create_directories(home);
    write(home / "rd.dt", "A");
    write(home / "re.dt", "E");
    const auto before = contents(home);
    const Migration m =
        MoveEarlierFiles(home, folder, [](const fs::path& from, const fs::path& to, std::error_code& ec) {
            if (from.filename() == "re.dt") {
                ec = std::make_error_code(std::errc::io_error);
                return false;
            }
            return MoveDataFile(from, to, ec);
        });
    EXPECT_EQ(m.workIn, home);
    EXPECT_NE(m.warning.find("re.dt"), std::string::npos) << m.warning;
    EXPECT_EQ(contents(home), before);
    EXPECT_TRUE(fs::is_empty(folder));
#ifndef _WIN32
    // Across file systems (/dev/shm is one of its own here) the move is a copy and a removal.
    struct stat a {
    }, b{};
    if (::stat("/dev/shm", &a) == 0 && ::stat(t.path.c_str(), &b) == 0 && a.st_dev != b.st_dev) {
        TempDir other;
        const fs::path away = fs::path("/dev/shm") / other.path.filename();
        fs::create_directories(away);
        std::error_code ec;
        EXPECT_TRUE(MoveEarlierFiles(home, away).warning.empty());
        EXPECT_EQ(read(away / "rd.dt"), "A");
        EXPECT_EQ(read(away / "re.dt"), "E");
        EXPECT_FALSE(fs::exists(home / "rd.dt"));
        EXPECT_EQ(fs::directory_iterator(away) == fs::directory_iterator(), false);
        fs::remove_all(away, ec);
    }
#endif
}
