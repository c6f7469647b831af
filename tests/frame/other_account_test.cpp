// runs_under_other_account: this program's token user against the owner of
// the desktop's shell. Wine runs every process as one user, so the differing
// case goes through the stand-in for the shell's owner.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>

#include "frame/other_account.h"

namespace {

class OtherAccount : public ::testing::Test {
protected:
    void TearDown() override { shell_owner_stand_in = nullptr; }
};

// user32 exports it without a declaration in the headers; the shell calls it.
extern "C" BOOL WINAPI SetShellWindow(HWND);

// The attributes of SeDebugPrivilege in this process's token (held, disabled
// by default, as in an administrator's elevated program); ~0u when not held.
DWORD debug_privilege_state()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return ~0u;
    LUID debug;
    LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &debug);
    BYTE buffer[4096];
    DWORD size = 0;
    DWORD state = ~0u;
    if (GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size)) {
        const TOKEN_PRIVILEGES* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer);
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            if (privileges->Privileges[i].Luid.LowPart == debug.LowPart &&
                privileges->Privileges[i].Luid.HighPart == debug.HighPart)
                state = privileges->Privileges[i].Attributes;
        }
    }
    CloseHandle(token);
    return state;
}

TEST_F(OtherAccount, SameUserAsTheShell)
{
    // Without a shell nothing is known: not another account.
    if (!GetShellWindow()) {
        EXPECT_FALSE(runs_under_other_account());
        EXPECT_STRNE("", own_account_name);
        EXPECT_STREQ("", shell_account_name);
    }
    // Wine's desktop registers no shell window; this test's own window stands
    // in as the shell, so the owner is read from a real process's token.
    HWND shell = GetShellWindow();
    HWND own_shell = nullptr;
    if (!shell) {
        own_shell = CreateWindowExA(0, "STATIC", "shell", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_TRUE(own_shell && SetShellWindow(own_shell));
        shell = GetShellWindow();
        ASSERT_EQ(own_shell, shell);
    }
    // The shell's token is opened with SeDebugPrivilege, which Windows asks
    // for another account's process; afterwards it is as it was.
    DWORD privilege_before = debug_privilege_state();
    EXPECT_FALSE(runs_under_other_account());
    EXPECT_EQ(privilege_before, debug_privilege_state());
    EXPECT_EQ(0u, privilege_before & SE_PRIVILEGE_ENABLED) << "enabled before the test";
    EXPECT_STRNE("", own_account_name);
    EXPECT_STREQ(own_account_name, shell_account_name);
    if (own_shell)
        DestroyWindow(own_shell);
}

TEST_F(OtherAccount, ShellOwnedByAnotherAccount)
{
    PSID system = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-18", &system));
    shell_owner_stand_in = system;
    EXPECT_TRUE(runs_under_other_account());
    std::string shell = shell_account_name;
    EXPECT_NE(std::string::npos, shell.find("SYSTEM")) << shell;
    EXPECT_STRNE(own_account_name, shell_account_name);
    EXPECT_STRNE("", own_account_name);

    // The same account as the token's: not another one.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, &info, sizeof info, &size));
    CloseHandle(token);
    shell_owner_stand_in = info.user.User.Sid;
    EXPECT_FALSE(runs_under_other_account());
    EXPECT_STREQ(own_account_name, shell_account_name);
    LocalFree(system);
}

}  // namespace
