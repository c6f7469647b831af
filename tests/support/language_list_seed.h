// Windows' language list of Windows 8 and later for tests under Wine, which
// has neither: the user's "User Profile" key to seed, and our stand-in for the
// system's input.dll (tests/support/input_stand_in.cpp) to put into the
// system folder, with the calls it recorded. Straight through advapi32 and
// kernel32, independent of the code under test.
#pragma once
#include <string>
#include <utility>
#include <vector>

extern const char seed_user_profile_path[];   // HKCU "Control Panel\International\User Profile"

// (language subkey, its keyboard values such as "0407:00000407") in order.
using language_keyboards = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Replaces "User Profile" by one as Windows writes it: a "Languages" list and
// one subkey per language holding its keyboards as REG_DWORD values numbered
// in order, beside a "CachedLanguageName" text, which is not a keyboard.
void seed_user_profile(const language_keyboards& languages);
void remove_user_profile();

// Copies the stand-in into the system folder as input.dll (a 32-bit test
// process on 64-bit Windows reaches syswow64 through redirection), with an
// empty call log, and makes its calls return result (true or false). The
// environment carries both settings, so programs started by the test inherit
// them. False when the copy fails.
bool install_input_stand_in(bool result);
// What the stand-in's calls return from now on.
void set_input_stand_in_result(bool result);
// Deletes the stand-in (the code under test must have unloaded it) and its log.
void remove_input_stand_in();
// The calls recorded so far, one "<string>\t<flags>\t<key existed 1|0>" each.
std::vector<std::string> input_stand_in_calls();
