// Functions of kernel32 that older Windows versions lack are looked up by name
// at run time, so that the programs still start there.
#include "frame/system_functions.h"

FARPROC kernel32_function(const char* name)
{
    HMODULE kernel32 = GetModuleHandleA("kernel32");
    return kernel32 ? GetProcAddress(kernel32, name) : nullptr;
}

bool query_wow64()
{
    typedef BOOL(WINAPI * is_wow64_process_fn)(HANDLE, PBOOL);
    is_wow64_process_fn is_wow64_process =
        (is_wow64_process_fn)(void*)kernel32_function("IsWow64Process");
    if (!is_wow64_process)
        return false;
    // The variable decides, whatever the call returns: a failing call leaves it false.
    BOOL wow64 = FALSE;
    is_wow64_process(GetCurrentProcess(), &wow64);
    return wow64 != FALSE;
}

USHORT query_native_machine()
{
    // IsWow64Process is TRUE for a 32-bit process on ARM64 Windows as on x64
    // Windows; only IsWow64Process2 (Windows 10 1709 and later) names the
    // native machine. GetNativeSystemInfo is no help: it describes an x64
    // machine to an emulated process on ARM64.
    typedef BOOL(WINAPI * is_wow64_process2_fn)(HANDLE, USHORT*, USHORT*);
    is_wow64_process2_fn is_wow64_process2 =
        (is_wow64_process2_fn)(void*)kernel32_function("IsWow64Process2");
    if (!is_wow64_process2)
        return IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN, native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (!is_wow64_process2(GetCurrentProcess(), &process, &native))
        return IMAGE_FILE_MACHINE_UNKNOWN;
    return native;
}

void harden_dll_search()
{
    // DLLs that the programs load later (the shell's helpers, for instance)
    // come from the system folder only, never from the folder the program was
    // started from (a download folder, or the temporary folder of the
    // uninstaller's copy). SetDefaultDllDirectories exists from Windows 8 on
    // (and on 7 with KB2533623); elsewhere an empty DLL directory at least
    // takes the current folder out of the search.
    typedef BOOL(WINAPI * set_default_dll_directories_fn)(DWORD);
    typedef BOOL(WINAPI * set_dll_directory_fn)(LPCSTR);
    set_default_dll_directories_fn set_default_dll_directories =
        (set_default_dll_directories_fn)(void*)kernel32_function("SetDefaultDllDirectories");
    if (set_default_dll_directories && set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    set_dll_directory_fn set_dll_directory =
        (set_dll_directory_fn)(void*)kernel32_function("SetDllDirectoryA");
    if (set_dll_directory)
        set_dll_directory("");
}
