// The failure text of the layout registration, which the flows show themselves.
#include "registry/layout_support.h"

#include <stdarg.h>

#include "frame/messages.h"

bool fail_layout(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    format_text(layout_error_text, layout_error_size, format, arguments);
    va_end(arguments);
    return false;
}
