// The POSIX file back end on real files in a temporary directory: reads, the atomic replace, and
// the mapping of failures to the program's error codes. Permission tests run as an unprivileged
// user in a child process when the tests run as root (root may write anywhere).
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/PosixFileSystem.h"
#include "store/IoError.h"
#include "store/Store.h"

using tw::platform::IoCodeFromErrno;
using tw::platform::PosixFileSystem;
namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tellwick-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& e : fs::directory_iterator(m_path, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(m_path))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs check with no privileges: in this process for an ordinary user, in a child process that
// has become "nobody" for root. check returns what went wrong, empty when all is well.
void RunUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) {
        const std::string problems = check();
        EXPECT_EQ(problems, "");
        return;
    }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(77);
        const std::string problems = check();
        if (::write(pipeFds[1], problems.data(), problems.size()) < 0)
            ::_exit(2);
        ::_exit(problems.empty() ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string problems;
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;)
        problems.append(buf, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "cannot drop root privileges here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << problems;
}

#define CHECK_THAT(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            problems += std::string("line ") + std::to_string(__LINE__) + ": " #cond "\n";                             \
    } while (0)

} // namespace

TEST(PosixFiles, ReadsWhatIsThereUpToTheLimit) {
    TempDir dir;
    PosixFileSystem files;
    Write(dir / "f", "hello world");
    auto r = files.readFile(dir / "f", 5);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "hello");
    r = files.readFile(dir / "f", 1000);
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "hello world");
    Write(dir / "empty", "");
    r = files.readFile(dir / "empty", 1000);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, 0);
    EXPECT_TRUE(r.data.empty());
}

TEST(PosixFiles, MissingFileIsNoErrorButAMissingDirectoryIsOneWhenSaving) {
    TempDir dir;
    PosixFileSystem files;
    const auto r = files.readFile(dir / "absent", 100);
    EXPECT_FALSE(r.exists);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(files.replaceFile(dir / "no-such-dir/rd.dt", Bytes("x")), tw::IoCode::FileNotFound);
    Write(dir / "plain", "x");
    EXPECT_EQ(files.readFile(dir / "plain/rd.dt", 100).error, tw::IoCode::FileNotFound);
}

TEST(PosixFiles, ADirectoryWhereTheFileShouldBeIsAccessDenied) {
    TempDir dir;
    PosixFileSystem files;
    fs::create_directory(dir / "rd.dt");
    const auto r = files.readFile(dir / "rd.dt", 100);
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error, tw::IoCode::AccessDenied);
    EXPECT_EQ(files.replaceFile(dir / "rd.dt", Bytes("x")), tw::IoCode::AccessDenied);
    EXPECT_TRUE(fs::is_directory(dir / "rd.dt"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"rd.dt"})); // no temporary file left behind
}

TEST(PosixFiles, ReplaceWritesNewFilesReplacesOldOnesAndLeavesNothingBehind) {
    TempDir dir;
    PosixFileSystem files;
    EXPECT_EQ(files.replaceFile(dir / "re.dt", Bytes("first")), 0);
    EXPECT_EQ(Contents(dir / "re.dt"), "first");
    EXPECT_EQ(files.replaceFile(dir / "re.dt", Bytes("second, longer")), 0);
    EXPECT_EQ(Contents(dir / "re.dt"), "second, longer");
    EXPECT_EQ(files.replaceFile(dir / "re.dt", {}), 0);
    EXPECT_TRUE(fs::exists(dir / "re.dt"));
    EXPECT_EQ(fs::file_size(dir / "re.dt"), 0u);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"re.dt"}));
}

TEST(PosixFiles, ReplaceKeepsTheFilesPermissionsAndNewFilesFollowTheUmask) {
    TempDir dir;
    PosixFileSystem files;
    const mode_t old = ::umask(022);
    ASSERT_EQ(files.replaceFile(dir / "new", Bytes("x")), 0);
    EXPECT_EQ(fs::status(dir / "new").permissions(), fs::perms(0644));
    Write(dir / "mine", "x");
    fs::permissions(dir / "mine", fs::perms(0660));
    ::umask(077);
    ASSERT_EQ(files.replaceFile(dir / "mine", Bytes("y")), 0);
    EXPECT_EQ(fs::status(dir / "mine").permissions(), fs::perms(0660));
    ::umask(old);
}

TEST(PosixFiles, TheStoreSavesAndLoadsThroughRealFiles) {
    TempDir dir;
    PosixFileSystem files;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    {
        tw::Store s(files);
        tw::ReminderRecord r{};
        r.Kind = tw::KindPopUp;
        r.RemDate = 46363;
        r.RemTime = 0.5;
        tw::SetNote(r, "real");
        s.AppendActive(r);
        s.SaveActive();
        s.SaveExpired();
        tw::Store t(files);
        t.LoadActive();
        t.LoadExpired();
        EXPECT_EQ(t.ActiveCount, 1);
        EXPECT_EQ(t.ExpiredCount, 0);
        EXPECT_EQ(tw::NoteText(t.ActiveTable[0]), "real");
    }
    fs::current_path(before);
    EXPECT_EQ(fs::file_size(dir / "rd.dt"), 288u);
    EXPECT_EQ(fs::file_size(dir / "re.dt"), 0u);
}

TEST(PosixFiles, ReadOnlyFileIsAccessDeniedAndAFileInAReadOnlyFolderIsWrittenInPlace) {
    RunUnprivileged([] {
        std::string problems;
        TempDir dir;
        PosixFileSystem files;
        Write(dir / "rd.dt", "old contents");

        fs::permissions(dir / "rd.dt", fs::perms(0444));
        CHECK_THAT(files.replaceFile(dir / "rd.dt", Bytes("new")) == tw::IoCode::AccessDenied);
        CHECK_THAT(Contents(dir / "rd.dt") == "old contents");
        fs::permissions(dir / "rd.dt", fs::perms(0644));

        // No temporary file can be made beside it: the writable file is written in place, a missing
        // one cannot be created.
        fs::permissions(dir.path(), fs::perms(0555));
        CHECK_THAT(files.replaceFile(dir / "rd.dt", Bytes("new, and longer")) == 0);
        CHECK_THAT(Contents(dir / "rd.dt") == "new, and longer");
        CHECK_THAT(files.replaceFile(dir / "rd.dt", Bytes("short")) == 0);
        CHECK_THAT(Contents(dir / "rd.dt") == "short");
        CHECK_THAT(files.replaceFile(dir / "re.dt", Bytes("new")) == tw::IoCode::AccessDenied);
        CHECK_THAT(!fs::exists(dir / "re.dt"));
        fs::permissions(dir.path(), fs::perms(0755));
        CHECK_THAT(dir.names() == std::vector<std::string>{"rd.dt"});

        fs::permissions(dir / "rd.dt", fs::perms(0200));
        const auto r = files.readFile(dir / "rd.dt", 100);
        CHECK_THAT(r.exists && r.error == tw::IoCode::AccessDenied);

        // Through the store: a missing file in the read-only folder reaches the caller as the
        // error's text, the existing one is saved.
        fs::permissions(dir / "rd.dt", fs::perms(0644));
        fs::permissions(dir.path(), fs::perms(0555));
        const fs::path before = fs::current_path();
        fs::current_path(dir.path());
        tw::Store s(files);
        s.ActiveCount = 0;
        s.ExpiredCount = 0;
        s.SaveActive();
        try {
            s.SaveExpired();
            problems += "a new file in a read-only directory reported success\n";
        } catch (const tw::IoError& e) {
            CHECK_THAT(std::string(e.what()) == "File access denied");
        }
        // As "nobody" the test's own working directory may be out of reach (a private build tree).
        std::error_code back;
        fs::current_path(before, back);
        if (back)
            fs::current_path(fs::temp_directory_path());
        fs::permissions(dir.path(), fs::perms(0755));
        CHECK_THAT(fs::file_size(dir / "rd.dt") == 0u);
        CHECK_THAT(dir.names() == std::vector<std::string>{"rd.dt"});
        return problems;
    });
}

TEST(PosixFiles, SymbolicLinksAreSavedThroughToTheFileTheyNameInItsOwnFolder) {
    TempDir dir;
    PosixFileSystem files;
    fs::create_directory(dir / "synced");
    Write(dir / "synced/rd.dt", "old");
    // rd.dt -> via -> synced/rd.dt, with relative links resolved against each link's own folder.
    fs::create_directory(dir / "links");
    fs::create_symlink("../synced/rd.dt", dir / "links/via");
    fs::create_symlink("links/via", dir / "rd.dt");
    ASSERT_EQ(files.replaceFile(dir / "rd.dt", Bytes("new")), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "rd.dt"));
    EXPECT_TRUE(fs::is_symlink(dir / "links/via"));
    EXPECT_EQ(Contents(dir / "synced/rd.dt"), "new");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"links", "rd.dt", "synced"}));

    // A link to a file not yet there creates it; an absolute link works alike.
    fs::create_symlink(dir / "synced/re.dt", dir / "re.dt");
    ASSERT_EQ(files.replaceFile(dir / "re.dt", Bytes("expired")), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "re.dt"));
    EXPECT_EQ(Contents(dir / "synced/re.dt"), "expired");
    EXPECT_EQ(files.readFile(dir / "re.dt", 100).data, Bytes("expired"));

    // A loop of links is an error, and nothing is written.
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_EQ(files.replaceFile(dir / "loop1", Bytes("x")), IoCodeFromErrno(ELOOP));
    EXPECT_TRUE(fs::is_symlink(dir / "loop1"));
}

TEST(PosixFiles, TemporaryFilesOfAKilledSaveAreClearedByTheNextSaveOrRead) {
    TempDir dir;
    PosixFileSystem files;
    // A process id that has certainly ended: a child that is already reaped.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string live = std::to_string(::getppid());
    Write(dir / "rd.dt", "kept");
    Write(dir / ("rd.dt.tmp" + dead + "-0"), "half");
    Write(dir / ("re.dt.tmp" + dead + "-7"), "half");
    // Another copy's save in progress, and names that only look alike, stay.
    const std::vector<std::string> others = {"rd.dt",
                                             "rd.dt.tmp",
                                             "rd.dt.tmp" + dead,
                                             "rd.dt.tmp" + dead + "-1x",
                                             "rd.dt.tmp" + live + "-1",
                                             "rd.dt.tmp-" + dead + "-1",
                                             "xrd.dt.tmp" + dead + "-1"};
    for (const std::string& name : others)
        if (name != "rd.dt")
            Write(dir / name, "other");

    EXPECT_EQ(files.readFile(dir / "rd.dt", 100).data, Bytes("kept"));
    std::vector<std::string> expected = others;
    expected.push_back("re.dt.tmp" + dead + "-7");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.names(), expected);
    ASSERT_EQ(files.replaceFile(dir / "re.dt", Bytes("x")), 0);
    expected = others;
    expected.push_back("re.dt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.names(), expected);
}

TEST(PosixFiles, ErrnoValuesMapToTheProgramsCodes) {
    EXPECT_EQ(IoCodeFromErrno(ENOENT), 2);
    EXPECT_EQ(IoCodeFromErrno(ENOTDIR), 2);
    EXPECT_EQ(IoCodeFromErrno(ENAMETOOLONG), 3);
    EXPECT_EQ(IoCodeFromErrno(EMFILE), 4);
    EXPECT_EQ(IoCodeFromErrno(ENFILE), 4);
    for (int e : {EACCES, EPERM, EROFS, EISDIR, ETXTBSY})
        EXPECT_EQ(IoCodeFromErrno(e), 5) << e;
    for (int e : {ENOSPC, EDQUOT, EFBIG})
        EXPECT_EQ(IoCodeFromErrno(e), 101) << e;
    // errno values that happen to equal a code with a text of its own must not borrow that text.
    for (int e : {EIO, ESRCH, EINTR, ENETDOWN, ENETUNREACH}) {
        const int code = IoCodeFromErrno(e);
        EXPECT_EQ(tw::IoErrorText(code), "I/O error " + std::to_string(code)) << e;
    }
    EXPECT_EQ(tw::IoErrorText(IoCodeFromErrno(ELOOP)), "I/O error " + std::to_string(ELOOP));
}

TEST(PosixFiles, LongNamesAreInvalidFilenames) {
    TempDir dir;
    PosixFileSystem files;
    const std::string tooLong = dir / std::string(300, 'n');
    EXPECT_EQ(files.replaceFile(tooLong, Bytes("x")), tw::IoCode::InvalidFilename);
    EXPECT_EQ(files.readFile(tooLong, 10).error, tw::IoCode::InvalidFilename);
}
