// Redirecting the test program's own imports (see import_redirect.h).
#include "tests/support/import_redirect.h"

#include <windows.h>

void redirect_import(void* from, void* to)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        for (auto* slot = reinterpret_cast<void**>(base + module->FirstThunk); *slot; ++slot) {
            if (*slot != from)
                continue;
            DWORD protection;
            VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
            *slot = to;
            VirtualProtect(slot, sizeof *slot, protection, &protection);
        }
    }
}

void* system_function(const char* module, const char* name)
{
    HMODULE handle = GetModuleHandleA(module);
    return handle ? reinterpret_cast<void*>(GetProcAddress(handle, name)) : nullptr;
}
