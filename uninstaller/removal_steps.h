// The steps of the removal that app_run runs in a fixed order. Each shows its
// own boxes; a false result means the removal stops there.
#pragma once
#include <windows.h>

// Room for a folder of up to MAX_PATH characters joined with a file name: the
// joined text always fits, and a path that Windows cannot take fails there,
// with its own message.
enum { joined_path_size = 2 * MAX_PATH };

// Set by the steps when something of ours stays on the machine: the layout
// key, a library, the user's list entries, a file of the product folder or
// the shortcut. The
// uninstaller in the product folder and the uninstall entry that starts it
// then stay too, so that the removal can be run again.
extern bool removal_incomplete;

// Set by registration_allows_removal when the layout key is gone already but
// the uninstall entry still starts our uninstaller with the KLID: a removal
// run again after one that could not finish. What is left goes; what is gone
// already is passed over without a message.
extern bool removing_leftovers;

// The registry still names our library under the KLID (or the uninstall
// entry does, see removing_leftovers), the user's lists can be rewritten
// without loss, and the user keeps another layout to choose. Scans and plans
// the user's lists anew each time.
bool registration_allows_removal();
// The plan of the user's lists without the layout, for either kind of removal.
bool plan_list_removal();
// The library in the system folder (and its 32-bit companion on 64-bit
// Windows). False when it stays, or is missing and the user does not go on.
bool remove_layout_library();
// Windows' own list of the user's keyboards (Windows 8 and later), where
// this Windows keeps one; a failure only warns.
void remove_from_language_list();
// The user's preload lists (planned anew from what they hold now) and the
// layout key; failures only warn.
void remove_layout_registration();
// Whether removing the layout leaves the user without a keyboard, from the
// list that counts on this Windows: Windows' own (Windows 8 and later) or the
// planned Preload list.
bool leaves_no_keyboard();
// With other_account, appends to text whose lists and desktop the removal
// reaches and what the signed-in person does about their own.
void append_other_account_note(char* text, size_t size, bool other_account);
void append_other_account_result(char* text, size_t size, bool other_account);
// Shortcut, the files in the product folder and the folder; failures only warn.
// The uninstaller's own file and the folder go only when nothing else is left.
void remove_product_files();
// The running copy's own file goes at the next system start; done on every
// way out of the copy's run.
void schedule_own_deletion();
