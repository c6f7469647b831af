// The walk of folder_create_path over a path: which of its prefixes are
// folders to create, and which are drive letters, the "\\" of a network path
// or its server name, which cannot be created and are passed over.
#pragma once

// Position of the next backslash, at or after start, whose prefix (the text
// before it) is a folder to create; -1 when none is left. server_passed
// starts false and carries over from call to call of one walk.
int next_folder_prefix(const char* path, int start, bool* server_passed);
