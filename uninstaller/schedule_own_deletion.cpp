// Marking the running temporary copy for deletion at the next system start:
// a running program file cannot be deleted, but Windows can remove it while
// it starts up again.
#include "uninstaller/removal_steps.h"

void schedule_own_deletion()
{
    char own_path[MAX_PATH];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), own_path, MAX_PATH);
    // A cut path would name some other file; such a path is not handed on.
    if (length == 0 || length >= MAX_PATH)
        return;
    MoveFileExA(own_path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
