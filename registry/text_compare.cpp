// Comparing texts ignoring letter case as Windows folds it (CharUpperA, which
// also knows the umlauts of the system code page), one character at a time.
#include "registry/layout_keys.h"
#include "registry/layout_support.h"

static char fold(char c)
{
    ULONG_PTR folded = reinterpret_cast<ULONG_PTR>(
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<BYTE>(c)))));
    return static_cast<char>(folded & 0xff);
}

bool begins_with_nocase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (!*text || fold(*text) != fold(*prefix))
            return false;
    }
    return true;
}

bool same_text(const char* a, const char* b)
{
    if (!a || !b)
        return !a && !b;
    for (; *a || *b; ++a, ++b) {
        if (!*a || !*b || fold(*a) != fold(*b))
            return false;
    }
    return true;
}
