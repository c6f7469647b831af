// Windows' own list of the user's keyboards. From Windows 8 on, Windows keeps
// it under HKEY_CURRENT_USER "Control Panel\International\User Profile" (one
// subkey per language, values such as "0407:B0030407") and derives the user's
// Preload and Substitutes lists from it; a layout is enabled and disabled there
// through InstallLayoutOrTip of the system's input.dll.
#pragma once
#include <windows.h>

extern const char user_profile_path[];   // "Control Panel\International\User Profile"

// InstallLayoutOrTip's flag that takes the layouts out of the list again; the
// flags are in no public header.
enum { ilot_uninstall = 0x00000001 };

// Whether this Windows keeps the list itself: the "User Profile" key exists
// (a key that exists but cannot be opened counts as existing).
bool user_profile_present();
// Whether input.dll of the system folder exports InstallLayoutOrTip. Looked up
// once per process; the library stays loaded until language_list_release.
bool language_list_function_found();
// Both of the above: the programs then enable and disable the layout through
// Windows' list instead of writing the user's lists themselves.
bool language_list_in_use();

// InstallLayoutOrTip(L"0407:<klid>", flags): true only when the function was
// found, the KLID is eight hexadecimal digits and the call returned TRUE.
bool language_list_enable(const char* klid);
bool language_list_disable(const char* klid);

// The keyboards enabled in "User Profile": the "<language>:<id>" values of all
// its language subkeys, and how many of them name klid (ignoring case). False
// when "User Profile" cannot be opened. Removing klid leaves the user without
// a keyboard when total is not 0 and ours equals it.
bool count_enabled_keyboards(const char* klid, int* total, int* ours);

// Unloads input.dll and forgets the lookup, so that the next call looks again.
void language_list_release();
