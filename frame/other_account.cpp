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

// The shell's process: PROCESS_QUERY_LIMITED_INFORMATION from Windows Vista
// on, where an elevated program may ask it of another user's process;
// Windows XP knows only the full query right.
static bool shell_owner(BYTE* sid)
{
    HWND shell = GetShellWindow();
    DWORD process_id = 0;
    if (!shell || !GetWindowThreadProcessId(shell, &process_id) || !process_id)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process_id);
    if (!process)
        return false;
    bool known = token_user(process, sid);
    CloseHandle(process);
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
