// The single-instance locks between real processes: copies started at the same moment leave
// exactly one, a killed copy frees its lock, another path runs alongside, and long paths still
// give lock file names that the file system takes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/SingleInstance.h"
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
                PosixInstanceGuard guard({}, dir);
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
        PosixInstanceGuard second({}, dir.path);
        EXPECT_FALSE(second.acquire(id));
        // The same path written in other case is the same program.
        EXPECT_FALSE(second.acquire(InstanceIdentifier("/OPT/Tellwick/bin/TELLWICK")));
        PosixInstanceGuard other({}, dir.path);
        EXPECT_TRUE(other.acquire(InstanceIdentifier("/home/me/tellwick/tellwick")));
        ::kill(first.pids[0], SIGKILL);
    }
    PosixInstanceGuard next({}, dir.path);
    EXPECT_TRUE(next.acquire(id));
    EXPECT_TRUE(next.holdsLock());
}

TEST(SingleInstance, LongPathsGiveUsableDistinctLockNames) {
    TempDir dir;
    const std::string deep(300, 'd');
    const std::string a = InstanceIdentifier("/" + deep + "/a/tellwick");
    const std::string b = InstanceIdentifier("/" + deep + "/b/tellwick");
    PosixInstanceGuard ga({}, dir.path), gb({}, dir.path);
    EXPECT_LE(std::filesystem::path(ga.lockPath(a, "Default")).filename().string().size(), std::size_t(NAME_MAX));
    EXPECT_NE(ga.lockPath(a, "Default"), gb.lockPath(b, "Default"));
    EXPECT_TRUE(ga.acquire(a));
    EXPECT_TRUE(gb.acquire(b));
    PosixInstanceGuard again({}, dir.path);
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
