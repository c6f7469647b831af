// What the start-up sequence finds out and changes before the hooks run: the
// run-time lookups in kernel32, the 32-bit emulation flag and the restricted
// DLL search.
#include <gtest/gtest.h>

#include <string>

#include "frame/system_functions.h"
#include "product/product.h"
#include "tests/frame/demo_child.h"
#include "tests/support/test_files.h"

namespace {

TEST(kernel32_function, finds_present_functions_only)
{
    EXPECT_EQ((FARPROC)GetProcAddress(GetModuleHandleA("kernel32"), "GetTickCount"),
              kernel32_function("GetTickCount"));
    EXPECT_EQ(nullptr, kernel32_function("QuarzfeldGibtEsNicht"));
}

TEST(query_wow64, tells_a_32_bit_process_on_64_bit_windows)
{
    BOOL expected = FALSE;
    IsWow64Process(GetCurrentProcess(), &expected);
    EXPECT_EQ(expected != FALSE, query_wow64());
#ifdef _WIN64
    EXPECT_FALSE(query_wow64()) << "a 64-bit process is never emulated";
#endif
}

// IsWow64Process2 names the native machine, for an emulated process too.
// Wine runs on x64 machines here, so its WoW64 (the i686 run) is x64 Windows:
// the shipping programs under it take the x64 rows, as the end-to-end suites
// expect. ARM64 Windows would report IMAGE_FILE_MACHINE_ARM64 instead.
TEST(query_native_machine, names_the_machine_under_emulation_too)
{
    typedef BOOL(WINAPI * is_wow64_process2_fn)(HANDLE, USHORT*, USHORT*);
    is_wow64_process2_fn is_wow64_process2 =
        (is_wow64_process2_fn)(void*)GetProcAddress(GetModuleHandleA("kernel32"),
                                                    "IsWow64Process2");
    if (!is_wow64_process2) {
        EXPECT_EQ(IMAGE_FILE_MACHINE_UNKNOWN, query_native_machine());
        GTEST_SKIP() << "no IsWow64Process2 before Windows 10 1709";
    }
    USHORT process = 0xbdbd, native = 0xbdbd;
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(is_wow64_process2(GetCurrentProcess(), &process, &native)) << GetLastError();
    EXPECT_EQ(native, query_native_machine());
    // A process that is not emulated gets IMAGE_FILE_MACHINE_UNKNOWN.
    EXPECT_EQ(test_process_is_wow64() ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN,
              process);
    if (running_on_wine()) {
        EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, native) << "expected 0x8664, got 0x" << std::hex
                                                    << native;
        if (test_process_is_wow64()) {
            EXPECT_EQ(windows_x64, windows_kind_of(query_wow64(), query_native_machine()));
        }
    }
}

// After the hardening a library in the current folder is no longer found by
// its bare name, while the system's own libraries still are.
TEST(harden_dll_search, current_folder_is_no_longer_searched)
{
    scratch_folder scratch;
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, sizeof own);
    std::string probe = std::string(own).substr(0, std::string(own).find_last_of('\\') + 1) +
                        "frame_dll_probe.dll";
    ASSERT_TRUE(CopyFileA(probe.c_str(), scratch.file("qf_dll_probe.dll").c_str(), FALSE))
        << "no probe library at " << probe;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));

    HMODULE before = LoadLibraryA("qf_dll_probe.dll");
    EXPECT_NE(nullptr, before) << "without hardening the current folder is searched";
    if (before)
        FreeLibrary(before);

    harden_dll_search();
    SetLastError(0xdeadbeef);
    HMODULE after = LoadLibraryA("qf_dll_probe.dll");
    EXPECT_EQ(nullptr, after);
    if (after)
        FreeLibrary(after);
    HMODULE system_library = LoadLibraryA("version.dll");
    EXPECT_NE(nullptr, system_library);
    if (system_library)
        FreeLibrary(system_library);

    SetCurrentDirectoryA(previous);
}

}  // namespace
