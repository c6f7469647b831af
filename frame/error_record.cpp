// The record of the last system error: its code and a German description for
// the next message box ("Fehlercode ..." and the system's own text), plus the
// name of the step that failed.
#include "frame/messages.h"

#include <string.h>

#include "frame/text.h"

char error_text[error_text_size];
char error_step_text[error_text_size];
DWORD last_error_code;
WORD last_error_code16;

void describe_system_error(DWORD code)
{
    error_step_text[0] = '\0';

    // 0x1100: the system allocates the buffer and takes the text from its own
    // message table, in the user's default language (0x400).
    char* system_text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, 0x400, (LPSTR)&system_text, 0, nullptr);

    // Codes that fit a 16-bit range read best in decimal (including small
    // negative ones such as -1); HRESULTs and the like in hexadecimal.
    LONG signed_code = (LONG)code;
    if (signed_code >= -65534 && signed_code <= 65535)
        format_into(error_text, sizeof error_text, "Fehlercode %d", (int)signed_code);
    else
        format_into(error_text, sizeof error_text, "Fehlercode %08lX", (unsigned long)code);

    if (length > 0 && system_text) {
        // The system's text keeps the line break it ends with. A text too long
        // for the record leaves it at the code line rather than half a sentence.
        size_t used = strlen(error_text);
        if (used + 2 + strlen(system_text) < sizeof error_text) {
            append_text(error_text, sizeof error_text, ":\n");
            append_text(error_text, sizeof error_text, system_text);
        }
    }
    if (system_text)
        LocalFree(system_text);
}

WORD record_last_error()
{
    last_error_code = GetLastError();
    last_error_code16 = LOWORD(last_error_code);
    describe_system_error(last_error_code);
    return last_error_code16;
}

static WORD fail_step_v(const char* format, va_list arguments)
{
    record_last_error();
    format_text(error_step_text, sizeof error_step_text, format, arguments);
    return last_error_code16;
}

WORD fail_step(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    WORD code = fail_step_v(format, arguments);
    va_end(arguments);
    return code;
}

bool check_step(BOOL result, const char* format, ...)
{
    if (result)
        return false;
    va_list arguments;
    va_start(arguments, format);
    fail_step_v(format, arguments);
    va_end(arguments);
    return true;
}
