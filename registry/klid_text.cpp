// Recognising KLIDs by their form: the standard ones that come with Windows,
// and the names of German layout keys.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"

#include <string.h>

bool is_standard_klid(const char* text)
{
    return text && strlen(text) == 8 && strncmp(text, "00000", 5) == 0;
}

// The language is compared byte for byte, as Windows writes it: a key named
// 00000c07 is not taken for German (Austria).
bool is_german_klid(const char* name)
{
    if (strlen(name) < 8)
        return false;
    static const char* const languages[] = {"0407", "0807", "0C07", "1407"};
    for (const char* language : languages) {
        if (strncmp(name + 4, language, 4) == 0)
            return true;
    }
    return false;
}
