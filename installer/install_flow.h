// The steps of the installer's run hook, each in a file of its own name.
#pragma once
#include <stddef.h>

#include "product/product.h"

// The parts that an installation goes on without, as bits: a row of the
// product manifest (1 << row), the uninstall entry and the desktop shortcut.
// The final message names those that are missing.
enum {
    missing_uninstall_entry = 1u << product_item_count,
    missing_shortcut = 2u << product_item_count,
};

// The one question before anything is written; true when answered Yes. With
// other_account, the question says whose lists and desktop get the layout.
bool ask_installation(bool is_update, const char* shown_name, bool other_account);
// With other_account, appends to the final message whose lists and desktop
// got the layout and what the signed-in person does to get it.
void append_other_account(char* text, size_t size, bool other_account);
// Every file of the product manifest for this Windows, in the manifest's
// order, with the uninstall entry for klid and the desktop shortcut; the parts
// that could not be installed go into missing. False (after
// extract_resource's message) when the layout library cannot be written into
// the system folder: then nothing else has been written.
bool install_files(const char* klid, unsigned* missing);
// Appends to text the sentence that names the missing parts, if any.
void append_missing_parts(char* text, size_t size, unsigned missing);
// Registers the layout under new_klid; false (after its message) when it cannot.
bool create_layout_key();
