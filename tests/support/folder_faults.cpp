// Stand-ins for Windows' folder queries that fail on request (folder_faults.h).
#include "tests/support/folder_faults.h"

#include <windows.h>
#include <shlobj.h>

#include "tests/support/import_redirect.h"

namespace {

typedef UINT(WINAPI* directory_query)(LPSTR, UINT);
typedef BOOL(WINAPI* path_query)(PCIDLIST_ABSOLUTE, LPSTR);

const char* const directory_names[] = {"GetSystemDirectoryA", "GetSystemWow64DirectoryA",
                                       "GetWindowsDirectoryA"};
const int directory_count = 3;
directory_query directory_originals[directory_count];
folder_fault directory_faults[directory_count];
path_query path_original;
folder_fault path_fault;

template <int which>
UINT WINAPI faulty_directory(LPSTR buffer, UINT size)
{
    switch (directory_faults[which]) {
    case folder_unknown:
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    case folder_too_long:
        return size + 1;
    default:
        return directory_originals[which](buffer, size);
    }
}

BOOL WINAPI faulty_path(PCIDLIST_ABSOLUTE items, LPSTR path)
{
    if (path_fault == folder_reported)
        return path_original(items, path);
    path[0] = '\0';
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
}

void redirect_folder_queries()
{
    if (path_original)
        return;
    void* stand_ins[directory_count] = {reinterpret_cast<void*>(faulty_directory<0>),
                                        reinterpret_cast<void*>(faulty_directory<1>),
                                        reinterpret_cast<void*>(faulty_directory<2>)};
    for (int i = 0; i < directory_count; ++i) {
        void* original = system_function("kernel32.dll", directory_names[i]);
        directory_originals[i] = reinterpret_cast<directory_query>(original);
        redirect_import(original, stand_ins[i]);
    }
    void* original = system_function("shell32.dll", "SHGetPathFromIDListA");
    path_original = reinterpret_cast<path_query>(original);
    redirect_import(original, reinterpret_cast<void*>(faulty_path));
}

}  // namespace

void set_folder_fault(const char* query, folder_fault fault)
{
    redirect_folder_queries();
    for (int i = 0; i < directory_count; ++i) {
        if (lstrcmpA(query, directory_names[i]) == 0)
            directory_faults[i] = fault;
    }
    if (lstrcmpA(query, "SHGetPathFromIDListA") == 0)
        path_fault = fault;
}

void clear_folder_faults()
{
    for (folder_fault& fault : directory_faults)
        fault = folder_reported;
    path_fault = folder_reported;
}
