// The resources of tellwick.exe, read the way Explorer reads them: the program's icon "MAINICON"
// at the sizes Explorer asks for, and the version information.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Module {
    HMODULE handle = ::LoadLibraryExW(TELLWICK_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Module() {
        if (handle != nullptr)
            ::FreeLibrary(handle);
    }
};

} // namespace

TEST(WinResources, MainIconAtEverySize) {
    Module exe;
    ASSERT_NE(exe.handle, nullptr) << "cannot open " << TELLWICK_EXE;
    EXPECT_NE(::FindResourceW(exe.handle, L"MAINICON", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */), nullptr);
    for (int size : {16, 32, 48, 64, 128}) {
        auto* icon = static_cast<HICON>(::LoadImageW(exe.handle, L"MAINICON", IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bm{};
        ASSERT_NE(::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmWidth, size) << "the icon is not drawn at " << size << " pixels";
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

TEST(WinResources, VersionInformation) {
    const DWORD size = ::GetFileVersionInfoSizeW(TELLWICK_EXE, nullptr);
    ASSERT_GT(size, 0u);
    std::string data(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(TELLWICK_EXE, 0, size, data.data()));
    wchar_t* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                                 reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::wstring(product), L"Tellwick");
}
