// Copies of texts for the layout registration state. They live on the process
// heap until the process ends; nothing holds them long enough to free them.
#include "registry/layout_support.h"

#include <string.h>

const char* keep_text_part(const char* text, size_t length)
{
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

const char* keep_text(const char* text)
{
    return keep_text_part(text, strlen(text));
}

const char* keep_decimal(LONG number)
{
    char text[decimal_text_size];
    format_decimal(text, number);
    return keep_text(text);
}
