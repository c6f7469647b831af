// Small operations on zero-terminated texts and paths in the system code page:
// separators at the end of a path, a case-blind search, the two number readers
// of the registry values, and the bounded copies that every service uses.
#include "frame/text.h"

#include <stdlib.h>
#include <string.h>

static bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

bool add_backslash(char* path, size_t size)
{
    size_t length = strlen(path);
    if (length > 0 && is_separator(path[length - 1]))
        return true;
    if (length + 2 > size)
        return false;
    path[length] = '\\';
    path[length + 1] = '\0';
    return true;
}

void strip_backslash(char* path)
{
    size_t length = strlen(path);
    if (length == 0)
        return;
    // A drive root ("C:\") keeps its separator: "C:" alone would name the
    // drive's current folder, not its root.
    if (length >= 2 && path[length - 2] == ':')
        return;
    if (is_separator(path[length - 1]))
        path[length - 1] = '\0';
}

const char* find_text_nocase(const char* text, const char* what)
{
    if (!text || !what || !*text || !*what)
        return nullptr;
    // CharUpperA follows the user's locale (it folds the umlauts too), and it
    // works in place, so both texts are upper-cased as copies.
    char* text_upper = _strdup(text);
    char* what_upper = _strdup(what);
    const char* found = nullptr;
    if (text_upper && what_upper) {
        CharUpperA(text_upper);
        CharUpperA(what_upper);
        const char* match = strstr(text_upper, what_upper);
        if (match)
            found = text + (match - text_upper);
    }
    free(text_upper);
    free(what_upper);
    return found;
}

DWORD parse_hex(const char* text)
{
    DWORD value = 0;
    if (!text)
        return 0;
    // Every character shifts the value, also one that is no hexadecimal digit.
    for (; *text; ++text) {
        char c = *text;
        DWORD digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        value = value * 16 + digit;
    }
    return value;
}

LONG parse_decimal(const char* text)
{
    // Unsigned arithmetic, so that a long run of digits wraps instead of
    // overflowing a signed number.
    DWORD value = 0;
    bool negative = false;
    if (!text)
        return 0;
    while (*text == ' ')
        ++text;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    for (; *text; ++text) {
        if (*text >= '0' && *text <= '9')
            value = value * 10 + (DWORD)(*text - '0');
    }
    return (LONG)(negative ? 0u - value : value);
}

bool copy_text(char* dest, size_t size, const char* text)
{
    if (size == 0)
        return false;
    size_t length = strlen(text);
    if (length >= size) {
        dest[0] = '\0';
        return false;
    }
    memcpy(dest, text, length + 1);
    return true;
}

bool append_text(char* dest, size_t size, const char* text)
{
    size_t used = strlen(dest);
    size_t length = strlen(text);
    if (used + length >= size)
        return false;
    memcpy(dest + used, text, length + 1);
    return true;
}
