// Writing one of the program's own resources into a file: the bytes unchanged,
// the caller's modification time, and nothing but the archive attribute.
// An existing file is rewritten in place, so it keeps its identity.
#include "files/resource_extract.h"

#include <string.h>

#include "files/path_join.h"
#include "frame/messages.h"
#include "frame/text.h"

static const char open_failed_text[] =
    "FEHLER:\nDatei konnte nicht zum Schreiben geöffnet werden.\nName: %s%s%s\n%s";
static const char write_failed_text[] =
    "FEHLER:\nDatei-Inhalt konnte nicht geschrieben werden.\nDatei: %s\n%s";

bool extract_resource(const char* name, const char* type, const char* file_name,
                      const FILETIME* modified, const char* folder)
{
    // Resource names and types are compared without regard to case.
    HRSRC found = FindResourceA(nullptr, name, type);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    DWORD size = found ? SizeofResource(nullptr, found) : 0;
    if (size == 0) {
        msg_warn("FEHLER:\nDatei %s nicht aus den Programmresourcen entnehmbar.\n"
                 "Interner Fehlerschlüssel: %08lX %08lX - %ld",
                 file_name, (unsigned long)(ULONG_PTR)found, (unsigned long)(ULONG_PTR)loaded,
                 (long)size);
        return false;
    }
    const void* data = LockResource(loaded);

    char path[MAX_PATH];
    if (!join_path(path, sizeof path, folder, file_name)) {
        // Named as it would have been joined, since it cannot be held whole.
        size_t length = strlen(folder);
        bool separated = length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/');
        msg_warn(open_failed_text, folder, separated ? "" : "\\", file_name, error_text);
        return false;
    }

    // A read-only file could not be opened for writing; its other attributes
    // are kept until the end, where all but the archive bit go anyway.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);

    // Opened, not created anew, and then emptied: the file stays the same file
    // (its creation time, its place in the folder).
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        record_last_error();
        msg_warn(open_failed_text, path, "", "", error_text);
        return false;
    }

    // A file that cannot be emptied would keep the tail of its old contents
    // after the new ones: that is a failed write, not a finished file.
    DWORD written = 0;
    if (!SetEndOfFile(file) || !WriteFile(file, data, size, &written, nullptr)) {
        record_last_error();
        msg_warn(write_failed_text, path, error_text);
        CloseHandle(file);
        return false;
    }
    if (written != size) {
        format_into(error_text, sizeof error_text,
                    "Nicht die erwartete Anzahl von Bytes geschrieben.\nErwartet: %d\nGeschrieben: %d",
                    (int)size, (int)written);
        msg_warn(write_failed_text, path, error_text);
        CloseHandle(file);
        return false;
    }

    // Through the open handle, after the write: a later write would renew it.
    if (!SetFileTime(file, nullptr, nullptr, modified)) {
        record_last_error();
        msg_warn("Warnung:\nDatei konnte nicht datiert werden.\nName: %s\n%s", path, error_text);
    }
    if (!CloseHandle(file)) {
        record_last_error();
        msg_warn("Warnung:\nDatei konnte nicht geschlossen werden.\nName: %s\n%s", path, error_text);
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE);
    return true;
}
