// Keeps the user's Preload value "1" as the test seeded it while the programs
// under test start. Wine (not Windows) writes "1" = the locale's layout at the
// start of every process that loads user32, so without this an installed layout
// at position 1 would be gone before the installer or uninstaller reads the list.
//
// Usage: e2e_preload_keeper <data of "1", or "-" for none> <data that Wine writes>
// It undoes every change of "1" to exactly the data that Wine writes, until
// the Preload key it opened is deleted (the programs replace the whole key when
// they write the list; from then on the list is theirs), until "1" changes to
// anything else (then someone else wrote it, and that stays for the test to
// see), or until it is ended. It prints "bereit" once the value holds and the
// watch is armed.
#include <windows.h>

#include <stdio.h>
#include <string.h>

enum keep_result { keep_holding, keep_key_gone, keep_foreign_change, keep_failed };

// Puts "1" back when Wine has overwritten it.
static keep_result restore_value(HKEY preload, const char* wanted, const char* wine_data)
{
    char data[64];
    DWORD type = 0;
    DWORD size = sizeof data - 1;
    SetLastError(0xdeadbeef);
    LONG status = RegQueryValueExA(preload, "1", nullptr, &type, (BYTE*)data, &size);
    if (status == ERROR_KEY_DELETED)
        return keep_key_gone;
    bool present = status == ERROR_SUCCESS;
    if (present)
        data[size] = '\0';
    bool is_wanted = wanted ? present && type == REG_SZ && strcmp(data, wanted) == 0 : !present;
    if (is_wanted)
        return keep_holding;
    // The keeper's own start makes Wine write "1" as well, so the first check
    // already finds Wine's data.
    bool by_wine = present && type == REG_SZ && strcmp(data, wine_data) == 0;
    if (!by_wine) {
        fprintf(stderr, "preload_keeper: \"1\" changed to \"%s\" by someone else; left alone\n",
                present ? data : "(none)");
        return keep_foreign_change;
    }
    if (!wanted)
        status = RegDeleteValueA(preload, "1");
    else
        status = RegSetValueExA(preload, "1", 0, REG_SZ, (const BYTE*)wanted,
                                (DWORD)strlen(wanted) + 1);
    if (status == ERROR_KEY_DELETED)
        return keep_key_gone;
    if (status != ERROR_SUCCESS) {
        fprintf(stderr, "preload_keeper: writing \"1\" failed with %ld\n", status);
        return keep_failed;
    }
    fprintf(stderr, "preload_keeper: \"1\" put back (%s)\n", wanted ? wanted : "removed");
    return keep_holding;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: e2e_preload_keeper <data of \"1\" | -> <data that Wine writes>\n");
        return 2;
    }
    const char* wanted = strcmp(argv[1], "-") == 0 ? nullptr : argv[1];
    const char* wine_data = argv[2];

    // On Windows the desktop is there before any program starts. Wine starts
    // its desktop process (explorer) with the first call that needs it; made
    // here, that start (and its own write of "1") is over before the programs
    // under test begin, as on Windows.
    GetDesktopWindow();

    HKEY preload = nullptr;
    SetLastError(0xdeadbeef);
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0,
                                KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_NOTIFY, &preload);
    if (status != ERROR_SUCCESS) {
        fprintf(stderr, "preload_keeper: opening the Preload key failed with %ld\n", status);
        return 1;
    }
    HANDLE changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool announced = false;
    int result = 0;
    for (;;) {
        // Armed before the value is checked, so that no change between the
        // check and the wait goes unnoticed.
        ResetEvent(changed);
        status = RegNotifyChangeKeyValue(preload, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE);
        keep_result kept = restore_value(preload, wanted, wine_data);
        if (kept == keep_key_gone || kept == keep_foreign_change)
            break;
        if (kept == keep_failed) {
            result = 1;
            break;
        }
        if (!announced) {
            printf("bereit\n");
            fflush(stdout);
            announced = true;
        }
        // The timeout covers a deletion that raises no notification.
        WaitForSingleObject(changed, status == ERROR_SUCCESS ? 100 : 10);
    }
    CloseHandle(changed);
    RegCloseKey(preload);
    return result;
}
