// The steps of the installer's run hook, each in a file of its own name.
#pragma once

// The one question before anything is written; true when answered Yes.
bool ask_installation(bool is_update, const char* shown_name);
// Product folder, uninstaller, uninstall entry for klid, chart, icon, shortcut.
void install_product_files(const char* klid);
// Registers the layout under new_klid; false (after its message) when it cannot.
bool create_layout_key();
