// Starting another program without waiting for it; the uninstaller starts its
// copy in the temporary folder this way.
#include "frame/launch.h"

#include <windows.h>

#include "frame/messages.h"
#include "frame/status_window.h"
#include "frame/text.h"

enum { command_line_size = 32768 };

static const char* or_null_text(const char* text)
{
    return text ? text : "<NULL>";
}

bool launch_program(const char* program, const char* parameters, const char* folder)
{
    static char command_line[command_line_size];
    char working_folder[MAX_PATH];
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION process = {};
    startup.cb = sizeof startup;

    show_status("Aufruf von %s ...", or_null_text(parameters));

    // The working folder loses one trailing separator ("C:\" keeps its own);
    // the program path is quoted, so that a path with blanks stays one token
    // and the child sees only the parameters as its arguments.
    bool fits = true;
    if (folder) {
        fits = copy_text(working_folder, sizeof working_folder, folder);
        strip_backslash(working_folder);
    }
    command_line[0] = '\0';
    if (program) {
        fits = fits && append_text(command_line, sizeof command_line, "\"") &&
               append_text(command_line, sizeof command_line, program) &&
               append_text(command_line, sizeof command_line, "\" ");
    }
    if (parameters)
        fits = fits && append_text(command_line, sizeof command_line, parameters);

    BOOL started = FALSE;
    if (!program && !parameters) {
        // Nothing names a program: refused here rather than handed to
        // CreateProcessA, which in Wine reads through the missing command line.
        SetLastError(ERROR_INVALID_PARAMETER);
    } else if (!fits) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    } else {
        // Without parameters no command line at all: the system then takes the
        // program path as the child's command line.
        started = CreateProcessA(program, parameters ? command_line : nullptr, nullptr, nullptr,
                                 TRUE, 0, nullptr, folder ? working_folder : nullptr, &startup,
                                 &process);
    }
    if (!started) {
        record_last_error();
        msg_warn("Folgender Programmstart konnte nicht durchgeführt werden:\nDatei: %s\n"
                 "Ausführen in: %s\nParameter: %s\n\n%s",
                 or_null_text(program), or_null_text(folder), or_null_text(parameters), error_text);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
