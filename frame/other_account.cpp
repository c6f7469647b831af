// The user of this program's access token against the owner of the desktop's
// shell process, compared by SID and named by LookupAccountSidA.
#include "frame/other_account.h"

#include <sddl.h>

#include "frame/text.h"

char own_account_name[account_name_size];
char shell_account_name[account_name_size];
PSID shell_owner_stand_in;

// A token's user, copied into sid (SECURITY_MAX_SID_SIZE bytes).
static bool token_user(HANDLE process, BYTE* sid)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size = 0;
    bool known = GetTokenInformation(token, TokenUser, &info, sizeof info, &size) &&
                 CopySid(SECURITY_MAX_SID_SIZE, sid, info.user.User.Sid);
    CloseHandle(token);
    return known;
}

// Windows opens the token of another account's process only to a program
// with SeDebugPrivilege enabled; an administrator's elevated program holds
// it, disabled. It is enabled for the shell's lookup alone: previous receives
// what was changed, so that restore_privilege puts it back as it was. Null
// when the privilege is not held or cannot be enabled.
static HANDLE enable_debug_privilege(TOKEN_PRIVILEGES* previous)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return nullptr;
    TOKEN_PRIVILEGES wanted;
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD size = 0;
    SetLastError(ERROR_SUCCESS);
    if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &wanted.Privileges[0].Luid)
        || !AdjustTokenPrivileges(token, FALSE, &wanted, sizeof *previous, previous, &size)
        || GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        CloseHandle(token);
        return nullptr;
    }
    return token;
}

static void restore_privilege(HANDLE token, TOKEN_PRIVILEGES* previous)
{
    if (!token)
        return;
    AdjustTokenPrivileges(token, FALSE, previous, 0, nullptr, nullptr);
    CloseHandle(token);
}

// The shell's process: PROCESS_QUERY_LIMITED_INFORMATION from Windows Vista
// on; Windows XP knows only the full query right.
static bool shell_owner(BYTE* sid)
{
    HWND shell = GetShellWindow();
    DWORD process_id = 0;
    if (!shell || !GetWindowThreadProcessId(shell, &process_id) || !process_id)
        return false;
    TOKEN_PRIVILEGES previous;
    HANDLE privileged = enable_debug_privilege(&previous);
    bool known = false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process_id);
    if (process) {
        known = token_user(process, sid);
        CloseHandle(process);
    }
    restore_privilege(privileged, &previous);
    return known;
}

// "DOMAIN\name", or the SID's text ("S-1-5-21-...") when the account has no
// name here; a name that does not fit is not cut but replaced by the SID's text.
static void account_name(PSID sid, char* out)
{
    out[0] = '\0';
    char name[257], domain[257];
    DWORD name_size = sizeof name, domain_size = sizeof domain;
    SID_NAME_USE use;
    if (LookupAccountSidA(nullptr, sid, name, &name_size, domain, &domain_size, &use)) {
        if (!domain[0] ? copy_text(out, account_name_size, name)
                       : copy_text(out, account_name_size, domain) &&
                             append_text(out, account_name_size, "\\") &&
                             append_text(out, account_name_size, name))
            return;
    }
    char* text = nullptr;
    if (ConvertSidToStringSidA(sid, &text)) {
        copy_text(out, account_name_size, text);
        LocalFree(text);
    }
}

bool runs_under_other_account()
{
    own_account_name[0] = shell_account_name[0] = '\0';
    BYTE own[SECURITY_MAX_SID_SIZE], shell[SECURITY_MAX_SID_SIZE];
    if (!token_user(GetCurrentProcess(), own))
        return false;
    account_name(own, own_account_name);
    if (shell_owner_stand_in) {
        if (!CopySid(sizeof shell, shell, shell_owner_stand_in))
            return false;
    } else if (!shell_owner(shell)) {
        return false;
    }
    account_name(shell, shell_account_name);
    return !EqualSid(own, shell);
}
