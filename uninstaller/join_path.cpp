// Joining a folder and a file name into one path buffer of joined_path_size.
#include "frame/text.h"
#include "uninstaller/removal_steps.h"

void join_path(char* out, const char* folder, const char* separator, const char* name)
{
    // folder and name each come from MAX_PATH buffers or constants, so the
    // copies cannot fail; they stay bounded all the same.
    copy_text(out, joined_path_size, folder);
    append_text(out, joined_path_size, separator);
    append_text(out, joined_path_size, name);
}
