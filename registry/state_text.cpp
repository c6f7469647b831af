// Copies of texts for the layout registration state. They live on the process
// heap and are never freed: the state that points at them lasts as long as
// the process.
#include "registry/layout_support.h"

#include <string.h>

const char* keep_text(const char* text)
{
    size_t length = strlen(text);
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, text, length + 1);
    return copy;
}

const char* keep_decimal(LONG number)
{
    char text[decimal_text_size];
    format_decimal(text, number);
    return keep_text(text);
}
