// The single-instance locks between real processes: copies started at the same moment leave
// exactly one, a killed copy frees its lock, another path runs alongside, and long paths still
// give lock file names that the file system takes. The channel that carries a second copy's
// command to the running copy: round trips, ill-formed and oversized messages, a killed listener.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/SingleInstance.h"
#include "platform/posix/PosixInstanceChannel.h"
#include "platform/posix/PosixInstanceGuard.h"

using tw::platform::InstanceIdentifier;
using tw::platform::PosixInstanceGuard;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = std::filesystem::temp_directory_path() / "tw-guard-XXXXXX";
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

// Forks copies that all wait on one pipe, then try the guard at once. Each reports 'Y' (it runs)
// or 'N' (another copy runs) and, when it runs, holds the lock until its stdin pipe closes.
struct Copies {
    std::vector<pid_t> pids;
    std::vector<int> results; // read ends
    int release[2] = {-1, -1};

    Copies(int n, const std::string& dir, const std::string& id) {
        int start[2];
        if (::pipe(start) != 0 || ::pipe(release) != 0)
            std::abort();
        for (int i = 0; i < n; ++i) {
            int out[2];
            if (::pipe(out) != 0)
                std::abort();
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(start[1]);
                ::close(release[1]);
                char c;
                [[maybe_unused]] ssize_t r = ::read(start[0], &c, 1); // returns 0 when the parent closes it
                PosixInstanceGuard guard(dir);
                const char answer = guard.acquire(id) ? 'Y' : 'N';
                r = ::write(out[1], &answer, 1);
                r = ::read(release[0], &c, 1);
                ::_exit(0);
            }
            ::close(out[1]);
            pids.push_back(pid);
            results.push_back(out[0]);
        }
        ::close(start[0]);
        ::close(release[0]);
        ::close(start[1]); // everybody goes
    }
    std::string answers() const {
        std::string s;
        for (const int fd : results) {
            char c = '?';
            if (::read(fd, &c, 1) != 1)
                c = '?';
            s += c;
        }
        return s;
    }
    ~Copies() {
        ::close(release[1]);
        for (const pid_t pid : pids)
            ::waitpid(pid, nullptr, 0);
        for (const int fd : results)
            ::close(fd);
    }
};

} // namespace

TEST(SingleInstance, CopiesStartedTogetherLeaveExactlyOne) {
    TempDir dir;
    const std::string id = InstanceIdentifier("/opt/tellwick/bin/tellwick");
    for (int round = 0; round < 20; ++round) {
        Copies copies(6, dir.path, id);
        const std::string answers = copies.answers();
        EXPECT_EQ(std::count(answers.begin(), answers.end(), 'Y'), 1) << "round " << round << ": " << answers;
        EXPECT_EQ(std::count(answers.begin(), answers.end(), 'N'), 5) << "round " << round << ": " << answers;
    }
}

TEST(SingleInstance, AKilledCopyFreesTheLockAndAnotherPathRunsAlongside) {
    TempDir dir;
    const std::string id = InstanceIdentifier("/opt/tellwick/bin/tellwick");
    {
        Copies first(1, dir.path, id);
        ASSERT_EQ(first.answers(), "Y");
        PosixInstanceGuard second(dir.path);
        EXPECT_FALSE(second.acquire(id));
        // The same path written in other case is the same program.
        EXPECT_FALSE(second.acquire(InstanceIdentifier("/OPT/Tellwick/bin/TELLWICK")));
        PosixInstanceGuard other(dir.path);
        EXPECT_TRUE(other.acquire(InstanceIdentifier("/home/me/tellwick/tellwick")));
        ::kill(first.pids[0], SIGKILL);
    }
    PosixInstanceGuard next(dir.path);
    EXPECT_TRUE(next.acquire(id));
    EXPECT_TRUE(next.holdsLock());
}

TEST(SingleInstance, LongPathsGiveUsableDistinctLockNames) {
    TempDir dir;
    const std::string deep(300, 'd');
    const std::string a = InstanceIdentifier("/" + deep + "/a/tellwick");
    const std::string b = InstanceIdentifier("/" + deep + "/b/tellwick");
    PosixInstanceGuard ga(dir.path), gb(dir.path);
    EXPECT_LE(std::filesystem::path(ga.lockPath(a, "Default")).filename().string().size(), std::size_t(NAME_MAX));
    EXPECT_NE(ga.lockPath(a, "Default"), gb.lockPath(b, "Default"));
    EXPECT_TRUE(ga.acquire(a));
    EXPECT_TRUE(gb.acquire(b));
    PosixInstanceGuard again(dir.path);
    EXPECT_FALSE(again.acquire(a));
}

// Without $XDG_RUNTIME_DIR the locks live in /tmp, which every user shares: another user's copy of
// the same executable must still start.
TEST(SingleInstance, WithoutARuntimeDirectoryEachUserHasLocksOfItsOwn) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved != nullptr ? saved : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string dir = tw::platform::LockDirectory();
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 077, 0u);
    const std::string id = InstanceIdentifier("/usr/bin/tellwick-guard-test");
    PosixInstanceGuard mine;
    ASSERT_TRUE(mine.acquire(id));
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(77);
            PosixInstanceGuard theirs;
            ::_exit(theirs.acquire(id) ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "another user's copy counted as running";
    }
    mine.release();
    if (saved != nullptr)
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

namespace {

using tw::platform::InstanceMessage;
using tw::platform::InstanceReply;
using tw::platform::PosixInstanceChannel;
using tw::platform::SendResult;

// A running copy's channel served on a thread of its own; every message it takes is recorded.
struct Listener {
    PosixInstanceChannel channel;
    std::vector<InstanceMessage> taken;
    std::atomic<bool> stop{false};
    std::thread thread;
    Listener(const std::string& dir, const std::string& id) : channel(dir) {
        if (!channel.listen(id))
            return;
        thread = std::thread([this] {
            while (!stop) {
                pollfd p{static_cast<int>(channel.readyHandle()), POLLIN, 0};
                if (::poll(&p, 1, 20) > 0)
                    channel.serve([this](const InstanceMessage& m) {
                        taken.push_back(m);
                        if (m.verb == "echo")
                            return tw::platform::InstanceAnswer(InstanceReply::Refused, m.argument);
                        return tw::platform::InstanceAnswer(m.verb == "fail" ? InstanceReply::Failed
                                                                             : InstanceReply::Done);
                    });
            }
        });
    }
    ~Listener() {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
};

// Writes bytes over a connection of its own, then reads the one-byte answer ("" when none came).
std::string sendRaw(const std::string& path, const std::string& bytes, bool closeAfterWriting = false) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return "refused";
    }
    [[maybe_unused]] ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (closeAfterWriting)
        ::shutdown(fd, SHUT_WR);
    char c = 0;
    pollfd p{fd, POLLIN, 0};
    std::string answer;
    if (::poll(&p, 1, 5000) > 0 && ::recv(fd, &c, 1, 0) == 1)
        answer = std::string(1, c);
    ::close(fd);
    return answer;
}

} // namespace

TEST(InstanceChannel, MessagesRoundTripAndAnythingElseChangesNothing) {
    TempDir dir;
    const std::string id = InstanceIdentifier("/opt/tellwick/bin/tellwick");
    Listener running(dir.path, id);
    ASSERT_TRUE(running.thread.joinable());
    const std::string path = running.channel.socketPath(id);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "only this user may connect";

    PosixInstanceChannel second(dir.path);
    const struct {
        InstanceMessage message;
        SendResult result;
    } sent[] = {
        {{"new", ""}, SendResult::Done},
        {{"add", "Gr\xc3\xbc\xc3\x9f\nzwei"}, SendResult::Done},
        {{"add", std::string(tw::platform::MaxArgumentSize, 'x')}, SendResult::Done},
        {{"fail", ""}, SendResult::Failed},
        {{"add", std::string(tw::platform::MaxArgumentSize + 1, 'x')}, SendResult::Ignored}, // never sent
    };
    for (const auto& c : sent)
        EXPECT_EQ(second.send(id, c.message, 5000), c.result) << c.message.verb;
    ASSERT_EQ(running.taken.size(), 4u);
    EXPECT_EQ(running.taken[1].argument, "Gr\xc3\xbc\xc3\x9f\nzwei");
    EXPECT_EQ(running.taken[2].argument.size(), tw::platform::MaxArgumentSize);

    const struct {
        std::string bytes;
        bool closeAfter;
        std::string answer;
    } raw[] = {
        {"new 0\n", false, "+"},
        {"bogus words\n", false, "?"},
        {std::string(tw::platform::MaxMessageSize + 100, 'a'), false, "?"},
        {"add 4097\n" + std::string(4097, 'x'), false, "?"},
        {"new 0\nmore", false, "?"},
        {"add 10\nshort", true, "?"}, // ends before its argument is whole
        {"new", false, "?"},          // stalls: given up after the read timeout
    };
    for (const auto& c : raw)
        EXPECT_EQ(sendRaw(path, c.bytes, c.closeAfter), c.answer) << c.bytes.substr(0, 20);
    EXPECT_EQ(running.taken.size(), 5u) << "only the one well-formed message was taken";

    // Nobody listens for another executable.
    EXPECT_EQ(second.send(InstanceIdentifier("/other/tellwick"), {"new", ""}, 1000), SendResult::NotRunning);
    if (::geteuid() == 0) {
        // Another user reaches neither the directory nor the socket.
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(77);
            PosixInstanceChannel theirs(dir.path);
            ::_exit(theirs.send(id, {"new", ""}, 1000) == SendResult::Done ? 1 : 0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another user's message was taken";
        EXPECT_EQ(running.taken.size(), 5u);
    }
    // The answer's line crosses whole; what would break the second copy's line does not.
    const struct {
        std::string argument;
        std::string text;
    } echoed[] = {
        {"09/Dec/26 09:00 Once Gr\xc3\xbc\xc3\x9f", "09/Dec/26 09:00 Once Gr\xc3\xbc\xc3\x9f"},
        {"a\nb\x1b[0m\t", "a?b?[0m?"},
        {std::string(tw::platform::MaxArgumentSize, 'x'), std::string(tw::platform::MaxAnswerTextSize, 'x')},
    };
    for (const auto& c : echoed) {
        std::string text;
        EXPECT_EQ(second.send(id, {"echo", c.argument}, 5000, &text), SendResult::Refused);
        EXPECT_EQ(text, c.text);
    }
}

TEST(InstanceChannel, AKilledListenerBlocksNeitherTheNextNorItsSenders) {
    TempDir dir;
    const std::string id = InstanceIdentifier("/opt/tellwick/bin/tellwick");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        PosixInstanceChannel channel(dir.path);
        const char c = channel.listen(id) ? 'Y' : 'N';
        [[maybe_unused]] ssize_t n = ::write(ready[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'Y');
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    PosixInstanceChannel second(dir.path);
    ASSERT_TRUE(std::filesystem::exists(second.socketPath(id))) << "a killed copy leaves its socket behind";
    EXPECT_EQ(second.send(id, {"new", ""}, 1000), SendResult::NotRunning);
    Listener next(dir.path, id);
    ASSERT_TRUE(next.thread.joinable()) << "the stale socket kept the next copy from listening";
    EXPECT_EQ(second.send(id, {"list", ""}, 5000), SendResult::Done);
    next.channel.close();
    EXPECT_FALSE(std::filesystem::exists(second.socketPath(id))) << "closing removes the socket";
    ::close(ready[0]);
    ::close(ready[1]);
}
