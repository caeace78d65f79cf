// The single-instance guard with real named mutexes, against other processes (win32_probe.exe).
#include <gtest/gtest.h>

#include <cstring>

#include "WinTestSupport.h"
#include "platform/SingleInstance.h"
#include "platform/win32/WinInstanceGuard.h"
#include "platform/win32/WinText.h"

using namespace tw::platform;
using namespace tw::platform;
using tw::wintest::Probe;
using tw::wintest::PumpMessages;
using tw::wintest::RunProbe;
using tw::wintest::TestWindow;

namespace {

// A path of its own per test, so that tests never share a lock; with a letter outside ASCII.
std::wstring PathFor(const char* test) {
    return L"C:\\Users\\J\u00fcrgen\\" + std::wstring(test, test + std::strlen(test)) + L"\\" +
           std::to_wstring(::GetCurrentProcessId()) + L"\\Tellwick.exe";
}

} // namespace

TEST(WinInstanceGuard, TwoCopiesLeaveOne) {
    const std::wstring path = PathFor("two");
    {
        WinInstanceGuard first;
        ASSERT_TRUE(first.acquire(WinInstanceIdentifier(path)));
        EXPECT_EQ(RunProbe({L"guard", path}), 1u) << "a second copy must see the first";
        // The same path spelled in other cases, "\u00fc" as "\u00dc" too, is the same instance.
        std::wstring upper = path;
        ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        ASSERT_NE(upper.find(L'\u00dc'), std::wstring::npos);
        EXPECT_EQ(RunProbe({L"guard", upper}), 1u);
        // A copy from another path runs alongside.
        EXPECT_EQ(RunProbe({L"guard", PathFor("two-other")}), 0u);
    }
    // The first copy has ended: the next start is a first copy again.
    EXPECT_EQ(RunProbe({L"guard", path}), 0u);
}

TEST(WinInstanceGuard, AFirstCopyInAnotherProcessHoldsTheLock) {
    const std::wstring path = PathFor("held");
    const std::string id = WinInstanceIdentifier(path);
    Probe holder({L"hold", path}, true);
    ASSERT_TRUE(holder.ready());
    {
        WinInstanceGuard second;
        EXPECT_FALSE(second.acquire(id));
    }
    // Another handle keeps the mutex alive, so that killing its holder abandons it.
    const std::wstring name = WidenUtf8(id + "Default");
    HANDLE keep = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    ASSERT_NE(keep, nullptr);
    // Killed without a chance to release: the system frees the lock with the process.
    holder.kill();
    {
        WinInstanceGuard next;
        EXPECT_TRUE(next.acquire(id)) << "an abandoned lock belongs to the next copy";
        EXPECT_TRUE(next.acquire(id)) << "asking again keeps the lock";
        EXPECT_EQ(RunProbe({L"guard", path}), 1u);
    }
    ::CloseHandle(keep);
}

TEST(WinInstanceGuard, HandOverRestoresTheFirstCopysWindow) {
    Probe first({L"window", L"Tellwick"}, true);
    ASSERT_TRUE(first.ready());
    const HWND h = ::FindWindowW(L"TellwickProbeWindow", L"Tellwick");
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(::IsIconic(h));
    // A window of our own with the same title is not the other copy's.
    TestWindow own(L"Tellwick");

    WinInstanceGuard guard(L"TellwickProbeWindow");
    guard.activateFirstCopy("ignored");
    EXPECT_EQ(guard.foundWindow(), reinterpret_cast<std::uintptr_t>(h));
    for (int i = 0; i < 40 && ::IsIconic(h); ++i)
        PumpMessages(25);
    EXPECT_FALSE(::IsIconic(h)) << "the first copy's window is still minimised";
    first.quit();
    EXPECT_EQ(first.wait(), 0u);
}

TEST(WinInstanceGuard, HandOverActivatesTheProgramsHiddenApplicationWindow) {
    Probe first({L"appwindow"}, true);
    ASSERT_TRUE(first.ready());
    WinInstanceGuard second;
    second.activateFirstCopy("ignored");
    EXPECT_NE(second.foundWindow(), 0u);
    EXPECT_EQ(first.wait(10000), 0u) << "the first copy's application window was not activated";
}

TEST(WinInstanceGuard, HandOverWithoutAFirstCopyWindowDoesNothing) {
    TestWindow own(L"Tellwick");
    WinInstanceGuard guard;
    guard.activateFirstCopy("ignored");
    EXPECT_EQ(guard.foundWindow(), 0u);
    WinInstanceGuard otherClass(L"NoSuchClass");
    otherClass.activateFirstCopy("ignored");
    EXPECT_EQ(otherClass.foundWindow(), 0u);
}
