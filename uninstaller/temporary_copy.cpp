// The hand-over to a copy of the uninstaller in the temporary folder: a
// program cannot delete its own file while it runs, so the copy does the work.
#include "uninstaller/temporary_copy.h"

#include "files/file_ops.h"
#include "frame/environment.h"
#include "frame/launch.h"
#include "frame/messages.h"
#include "frame/text.h"
#include "uninstaller/texts.h"

// GetTempPathA reports the size it would need when the buffer is too small,
// and GetModuleFileNameA fills the buffer with a cut path; both count as unknown.
bool find_copy_paths(copy_paths* paths)
{
    paths->temporary_folder[0] = paths->own_path[0] = paths->copy_path[0] = '\0';

    DWORD length = GetTempPathA(MAX_PATH, paths->temporary_folder);
    if (length == 0 || length >= MAX_PATH) {
        paths->temporary_folder[0] = '\0';
        return false;
    }
    if (!add_backslash(paths->temporary_folder, MAX_PATH))
        return false;

    length = GetModuleFileNameA(app_instance, paths->own_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        paths->own_path[0] = '\0';
        return false;
    }

    const char* file_name = paths->own_path;
    for (const char* p = paths->own_path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            file_name = p + 1;

    return copy_text(paths->copy_path, MAX_PATH, paths->temporary_folder) &&
           append_text(paths->copy_path, MAX_PATH, file_name);
}

// The program's own folder must be the temporary folder itself: a temporary
// folder such as C:\ or "C:\Program Files" also begins the path of the
// original in the product folder. Both are compared without a trailing
// backslash.
bool runs_from_temporary_folder(const copy_paths* paths)
{
    int folder_length = lstrlenA(paths->temporary_folder);
    if (folder_length > 0 && paths->temporary_folder[folder_length - 1] == '\\')
        --folder_length;
    int own_folder_length = 0;
    for (int i = 0; paths->own_path[i]; ++i) {
        if (paths->own_path[i] == '\\')
            own_folder_length = i;
    }
    if (folder_length == 0 || own_folder_length != folder_length)
        return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, paths->own_path,
                          folder_length, paths->temporary_folder,
                          folder_length) == CSTR_EQUAL;
}

bool runs_as_temporary_copy()
{
    copy_paths paths;
    return find_copy_paths(&paths) && runs_from_temporary_folder(&paths);
}

bool hand_over_to_copy(const copy_paths* paths, const char* klid)
{
    if (!file_copy(paths->own_path, paths->copy_path, true, true)) {
        msg_warn(text_copy_failed);
        return false;
    }
    if (!launch_program(paths->copy_path, klid, nullptr)) {
        msg_warn(text_copy_not_started);
        return false;
    }
    return true;
}
