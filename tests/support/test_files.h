// File helpers that every suite shares, straight through kernel32: reading and
// writing whole files, existence, removing a test's own folder tree, and
// telling Wine from Windows.
#pragma once
#include <windows.h>

#include <string>

// Empty when the file cannot be read.
std::string read_file(const std::string& path);
// Replaces the file; a failure is reported to GoogleTest at the caller's place.
void write_file(const std::string& path, const std::string& content);
bool path_exists(const std::string& path);   // file or folder
// Removes folder and everything below it; folder links are removed, never
// walked into. Only absolute paths below a drive's root are touched.
void remove_tree(const std::string& folder);
// Under Wine, ntdll exports wine_get_version.
bool running_on_wine();

// True in a 32-bit test process on 64-bit Windows (the i686 suites under
// WoW64), where the file system is really redirected for the process.
bool test_process_is_wow64();
// The path by which this test process reaches path in the native system
// folder while redirection is on: "sysnative" for "system32" in a 32-bit
// process on 64-bit Windows, the path itself elsewhere.
std::string native_path(const std::string& path);
// For a test of the 64-bit Windows paths: a 32-bit test process on 64-bit
// Windows takes the real WoW64 (is_wow64 as IsWow64Process reports it, and
// redirection really switched by the code under test); the x86-64 build sets
// the flag itself, as a 64-bit process has no redirection to switch. False
// when the process is 32-bit on 32-bit Windows, where the test does not apply.
bool use_64bit_windows(bool& is_wow64_flag);
// For a test of ARM64 Windows, which is simulated: use_64bit_windows (WoW64,
// redirection and the 32-bit system folder work there as on x64 Windows),
// and the native machine that IsWow64Process2 reports to a 32-bit process on
// ARM64 Windows, IMAGE_FILE_MACHINE_ARM64. False where use_64bit_windows is.
bool use_arm64_windows(bool& is_wow64_flag, USHORT& native_machine_flag);
