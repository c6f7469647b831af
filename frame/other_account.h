// Whether this program runs under another account than the person signed in
// at the desktop: someone without administrator rights who types an
// administrator's password runs the program as that administrator, and the
// user's lists (HKEY_CURRENT_USER) and the desktop shortcut are then the
// administrator's.
#pragma once
#include <windows.h>

enum { account_name_size = 520 };

// "DOMAIN\name" (or the SID's text where the account has no name) of this
// program's token and of the owner of the desktop's shell; empty when unknown.
// Filled by runs_under_other_account.
extern char own_account_name[account_name_size];
extern char shell_account_name[account_name_size];

// For tests, since Wine runs every process as one user: when set, the shell's
// owner is taken to be this account instead of the one read from its process.
extern PSID shell_owner_stand_in;

// True when the user of the program's own token and the owner of the shell's
// process (GetShellWindow) are both known and differ. Without a shell, or
// when its process cannot be asked, nothing is known and the answer is false.
bool runs_under_other_account();
