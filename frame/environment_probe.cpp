// Reading the command line and the program's own name. The command line is
// read in UTF-16 (GetCommandLineW) and split by the frame's own rules, which
// differ from the C runtime's: only the blank separates, and there is no escape.
#include "frame/environment.h"

#include <string.h>

// The table is a fixed 30 x 260 units: a 31st and later argument is dropped
// (arg_count stays at 30, so it always indexes the table), and an argument of
// more than 259 units is kept as an empty argument in its place, as one whose
// converted form does not fit.
static void store_argument(const WCHAR* start, const WCHAR* end)
{
    if (arg_count < 0)
        arg_count = 0;
    if (arg_count >= max_args)
        return;
    size_t length = (size_t)(end - start);
    WCHAR* slot = args_wide[arg_count++];
    if (length >= path_size) {
        slot[0] = 0;
        return;
    }
    memcpy(slot, start, length * sizeof(WCHAR));
    slot[length] = 0;
}

// Finds the end of the token at *cursor, moves the cursor past the token, its
// closing quote and the blanks after it, and returns the token's end; *start
// receives its beginning.
static const WCHAR* next_token(const WCHAR** cursor, const WCHAR** start)
{
    const WCHAR* p = *cursor;
    const WCHAR* end;
    if (*p == L'"') {
        *start = ++p;
        while (*p && *p != L'"')
            ++p;
        end = p;
        if (*p == L'"')
            ++p;
    } else {
        *start = p;
        while (*p && *p != L' ')
            ++p;
        end = p;
    }
    while (*p == L' ')
        ++p;
    *cursor = p;
    return end;
}

void parse_command_line(const WCHAR* line)
{
    memset(args, 0, sizeof args);
    memset(args_wide, 0, sizeof args_wide);
    arg_count = -1;
    if (!line)
        return;
    while (*line == L' ')
        ++line;
    if (!*line)
        return;

    const WCHAR* start;
    next_token(&line, &start);   // the program's own path
    arg_count = 0;
    while (*line) {
        const WCHAR* end = next_token(&line, &start);
        store_argument(start, end);
    }

    for (int i = 0; i < arg_count; ++i) {
        if (!args_wide[i][0])
            continue;
        // WC_NO_BEST_FIT_CHARS: a character that the code page lacks becomes
        // its default character ("?") rather than a look-alike, so that no
        // argument turns into a different path or name on the way. Room for
        // 259 bytes including the terminator; what does not fit stays empty.
        if (!WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, args_wide[i], -1, args[i],
                                 path_size - 1, nullptr, nullptr))
            memset(args[i], 0, sizeof args[i]);
    }
}

void environment_probe()
{
    parse_command_line(GetCommandLineW());

    char path[path_size];
    DWORD length = GetModuleFileNameA(app_instance, path, sizeof path);
    if (length >= sizeof path)
        length = 0;
    path[length] = '\0';

    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    lstrcpynA(program_name, name, sizeof program_name);
    // Everything from the last dot goes, unless that dot begins the name.
    char* dot = strrchr(program_name, '.');
    if (dot && dot != program_name)
        *dot = '\0';

    lstrcpynA(window_title, program_name, sizeof window_title);
}
