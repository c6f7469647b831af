// A stand-in for Windows' input.dll, for the test machines (Wine has none):
// InstallLayoutOrTip records every call and returns what the test asks for.
// Each call appends one line to the file named by QF_INPUT_LOG:
//   <the string, UTF-8> TAB <the flags, decimal> TAB <1 or 0>
// where the last field tells whether the layout key named by the string's
// KLID (the text after the first colon, up to a semicolon) existed under
// HKEY_LOCAL_MACHINE "System\CurrentControlSet\Control\Keyboard Layouts" at
// that moment. QF_INPUT_RESULT "0" makes the call return FALSE; anything else,
// or nothing, TRUE.
#include <windows.h>

static bool layout_key_exists(LPCWSTR text)
{
    static const WCHAR prefix[] = L"System\\CurrentControlSet\\Control\\Keyboard Layouts\\";
    WCHAR path[160];
    int used = 0;
    for (const WCHAR* c = prefix; *c; ++c)
        path[used++] = *c;
    const WCHAR* klid = text;
    while (*klid && *klid != L':')
        ++klid;
    if (!*klid)
        return false;
    for (++klid; *klid && *klid != L';'; ++klid) {
        if (used + 1 >= (int)(sizeof path / sizeof path[0]))
            return false;
        path[used++] = *klid;
    }
    path[used] = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static void append_record(LPCWSTR text, DWORD flags, bool key_existed)
{
    WCHAR log_path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"QF_INPUT_LOG", log_path, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return;
    char line[1200];
    int used = 0;
    if (!text) {
        lstrcpyA(line, "(null)");
        used = 6;
    } else {
        used = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, 1000, nullptr, nullptr);
        if (used <= 0) {
            lstrcpyA(line, "(not convertible or too long)");
            used = lstrlenA(line);
        } else {
            --used;   // the terminator
        }
    }
    used += wsprintfA(line + used, "\t%lu\t%d\n", (unsigned long)flags, key_existed ? 1 : 0);
    HANDLE file = CreateFileW(log_path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)used, &written, nullptr);
    CloseHandle(file);
}

extern "C" __declspec(dllexport) BOOL WINAPI InstallLayoutOrTip(LPCWSTR text, DWORD flags)
{
    append_record(text, flags, text && layout_key_exists(text));
    char result[8];
    DWORD length = GetEnvironmentVariableA("QF_INPUT_RESULT", result, sizeof result);
    return !(length == 1 && result[0] == '0');
}
