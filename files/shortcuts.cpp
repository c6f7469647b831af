// Shell shortcuts (.LNK files) through the shell link object: creating one with
// its target, icon and description, and deleting one again.
#include "files/system_folders.h"

#include <objbase.h>
#include <shlobj.h>

#include "files/file_ops.h"
#include "files/path_join.h"
#include "files/shell_folder.h"
#include "frame/messages.h"
#include "frame/text.h"

// The shortcut's name and ".LNK" after its folder: upper case, and added even
// when the name holds a dot of its own.
static bool append_shortcut_name(char* path, const char* name)
{
    if (append_text(path, MAX_PATH, name) && append_text(path, MAX_PATH, ".LNK"))
        return true;
    path[0] = '\0';
    record_path_too_long();
    return false;
}

bool shortcut_create(HWND owner, const char* target, const char* arguments,
                     const char* folder_spec, const char* name, const char* working_dir,
                     const char* icon_file, int icon_index, const char* description,
                     int show, bool all_users)
{
    char folder[MAX_PATH] = "";
    if (working_dir) {
        if (!copy_path(folder, sizeof folder, working_dir))
            return false;
        strip_backslash(folder);
    }

    bool saved = false;
    bool paused = shell_work_begin();
    bool com_ready = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, (void**)&link);
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, (void**)&file);
    if (SUCCEEDED(result))
        result = link->SetPath(target);
    if (SUCCEEDED(result) && arguments)
        result = link->SetArguments(arguments);
    if (SUCCEEDED(result) && folder[0])
        result = link->SetWorkingDirectory(folder);
    if (SUCCEEDED(result) && description)
        result = link->SetDescription(description);
    if (SUCCEEDED(result))
        result = link->SetShowCmd(show);
    if (SUCCEEDED(result))
        result = link->SetIconLocation(icon_file ? icon_file : target, icon_index);

    // The folder is made only once the shortcut is complete, so a failed
    // property leaves no empty folder behind.
    char path[MAX_PATH];
    if (SUCCEEDED(result) && shortcut_folder_path(path, owner, folder_spec, all_users)) {
        folder_create_path(path);
        WCHAR wide_path[MAX_PATH];
        if (append_shortcut_name(path, name)) {
            if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide_path, MAX_PATH) > 0) {
                saved = SUCCEEDED(file->Save(wide_path, TRUE));
                file->SaveCompleted(wide_path);
            } else {
                record_last_error();
            }
        }
    }

    if (file)
        file->Release();
    if (link)
        link->Release();
    if (com_ready)
        CoUninitialize();
    shell_work_end(paused);
    return saved;
}

bool shortcut_delete(HWND owner, const char* folder_spec, const char* name, bool all_users)
{
    // The same view of the file system as when the shortcut was made.
    bool paused = shell_work_begin();
    char path[MAX_PATH];
    bool deleted = false;
    if (shortcut_folder_path(path, owner, folder_spec, all_users) && append_shortcut_name(path, name)) {
        deleted = DeleteFileA(path) != FALSE;
        if (!deleted)
            record_last_error();
    }
    shell_work_end(paused);
    return deleted;
}
