// Bounded formatting of the installer's own texts: a text that does not fit
// its buffer is cut, never written past the end.
#include "installer/install_flow.h"

#include <stdarg.h>

#include "frame/messages.h"

void format_bounded(char* dest, size_t size, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    format_text(dest, size, format, arguments);
    va_end(arguments);
}
