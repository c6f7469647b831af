// The frame's guarded formatter and the four message boxes that every text of
// both programs passes through. Windows' own formatter (wvsprintfA) writes at
// most 1,024 characters and knows nothing of the caller's buffer, so it always
// writes into a buffer of its own here, and the result is cut to the caller's
// size without splitting a double-byte character.
#include "frame/messages.h"

#include <string.h>

#include "frame/environment.h"

char message_text[message_text_size];

// wvsprintfA never writes more than 1,024 characters and its terminator.
enum { platform_format_limit = 1025 };

static const char missing_format[] = "<INTERNER FEHLER: Formatstring fehlt>";

// Copies as much of text as fits into size bytes (terminator included), never
// ending on the lead byte of a double-byte character; returns the length copied.
static size_t copy_cut(char* dest, size_t size, const char* text)
{
    size_t length = 0;
    if (size == 0)
        return 0;
    while (text[length]) {
        size_t step = IsDBCSLeadByte((BYTE)text[length]) && text[length + 1] ? 2 : 1;
        if (length + step >= size)
            break;
        length += step;
    }
    memcpy(dest, text, length);
    dest[length] = '\0';
    return length;
}

int format_text(char* dest, size_t size, const char* format, va_list arguments)
{
    if (size == 0)
        return 0;
    if (!format)
        return (int)copy_cut(dest, size, missing_format);
    if (format[0] == '\x7f' && format[1] == '\x7f')
        return (int)copy_cut(dest, size, format + 2);
    if (!strchr(format, '%'))
        return (int)copy_cut(dest, size, format);

    char expanded[platform_format_limit + 1];
    int length = wvsprintfA(expanded, format, arguments);
    // An expansion that comes out empty shows the raw format instead, so a
    // box never appears without text.
    if (length <= 0 || !expanded[0])
        return (int)copy_cut(dest, size, format);
    return (int)copy_cut(dest, size, expanded);
}

int format_into(char* dest, size_t size, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = format_text(dest, size, format, arguments);
    va_end(arguments);
    return length;
}

void to_message_text(char* dest, size_t size, const char* text)
{
    // MessageBoxA breaks lines only at CR and LF; the other control bytes
    // (the tab above all) would show as boxes, so each becomes a line break.
    size_t used = 0;
    if (size == 0)
        return;
    for (; *text; ++text) {
        BYTE c = (BYTE)*text;
        bool control = c >= 1 && c <= 31 && c != '\r' && c != '\n';
        size_t step = control ? 2 : 1;
        if (used + step >= size)
            break;
        if (control) {
            dest[used++] = '\r';
            dest[used++] = '\n';
        } else {
            dest[used++] = (char)c;
        }
    }
    dest[used] = '\0';
}

const char* as_literal(const char* text)
{
    // Room for the prefix and as much text as a message box can show.
    static char literal[2 + message_format_size];
    literal[0] = '\x7f';
    literal[1] = '\x7f';
    copy_cut(literal + 2, sizeof literal - 2, text ? text : "");
    return literal;
}

static int show_formatted(const char* caption, UINT flags, const char* format, va_list arguments)
{
    char formatted[message_format_size];
    format_text(formatted, sizeof formatted, format, arguments);
    to_message_text(message_text, sizeof message_text, formatted);
    return show_message_box(message_text, caption, flags);
}

int msg_info(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int answer = show_formatted(program_name, MB_OK | MB_ICONINFORMATION, format, arguments);
    va_end(arguments);
    return answer;
}

int msg_ask(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int answer = show_formatted(program_name, MB_YESNO | MB_ICONQUESTION, format, arguments);
    va_end(arguments);
    return answer;
}

int msg_warn(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int answer = show_formatted(program_name, MB_OK | MB_ICONEXCLAMATION, format, arguments);
    va_end(arguments);
    return answer;
}

int msg_warn_captioned(const char* caption, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int answer = show_formatted(caption, MB_OK | MB_ICONEXCLAMATION, format, arguments);
    va_end(arguments);
    return answer;
}
