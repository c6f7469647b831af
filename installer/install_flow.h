// The steps of the installer's run hook, each in a file of its own name.
#pragma once

// The one question before anything is written; true when answered Yes.
bool ask_installation(bool is_update, const char* shown_name);
// Every file of the product manifest for this Windows, in the manifest's
// order, with the uninstall entry for klid and the desktop shortcut. False
// (after extract_resource's message) when the layout library cannot be
// written into the system folder: then nothing else has been written.
bool install_files(const char* klid);
// Registers the layout under new_klid; false (after its message) when it cannot.
bool create_layout_key();
