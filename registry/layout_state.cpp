// The process-wide layout registration state, with the values it has when the
// process starts (no entries, no index found, every flag cleared) and the
// one function that puts it back there; and the small helpers that every
// step of the registration shares: kept copies of texts, number and KLID
// texts, comparing texts as Windows does, and the failure text.
#include "registry/layout_state.h"
#include "registry/layout_support.h"
#include "registry/layout_keys.h"

#include <string.h>
#include <stdarg.h>

#include "frame/messages.h"

preload_entry preload_entries[list_capacity];
int preload_count;
substitute_entry substitute_entries[list_capacity];
int substitute_count;
layout_entry layout_entries[list_capacity];
int layout_count;
new_preload_entry new_preload[list_capacity];
int newpreloadcount;
substitute_entry new_substitutes[list_capacity];
int new_substitute_count;

char layout_file_name[MAX_PATH];
char target_klid[MAX_PATH];
int target_index = -1;
int found_index = -1;
bool found_in_preload;
LONG max_layout_id;
LONG max_klid_counter;
char new_klid[klid_text_size];
char new_layout_id[klid_text_size];
char layout_error_text[layout_error_size];

int unreadable_preload_values;
int unreadable_substitute_values;
bool foreign_layout_ids_overflow;

bool preload_unchanged;
bool substitutes_kept;
bool preload_rewritten;

DWORD foreign_layout_ids[foreign_id_capacity];
int foreign_layout_id_count;

void clear_layout_results()
{
    memset(preload_entries, 0, sizeof preload_entries);
    memset(substitute_entries, 0, sizeof substitute_entries);
    memset(layout_entries, 0, sizeof layout_entries);
    memset(new_preload, 0, sizeof new_preload);
    memset(new_substitutes, 0, sizeof new_substitutes);
    preload_count = substitute_count = layout_count = 0;
    newpreloadcount = new_substitute_count = 0;
    foreign_layout_id_count = 0;
    target_index = found_index = -1;
    found_in_preload = false;
    max_layout_id = max_klid_counter = 0;
    new_klid[0] = new_layout_id[0] = 0;
    layout_error_text[0] = 0;
    unreadable_preload_values = unreadable_substitute_values = 0;
    foreign_layout_ids_overflow = false;
    preload_unchanged = substitutes_kept = preload_rewritten = false;
}

void reset_layout_state()
{
    layout_file_name[0] = '\0';
    target_klid[0] = '\0';
    clear_layout_results();
}

// Copies of texts for the layout registration state. They live on the process
// heap and are never freed: the state that points at them lasts as long as
// the process.
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

// Decimal and KLID texts of numbers: the Preload value names and the KLIDs and
// substitution handles that the planning steps form.
void format_decimal(char* out, LONG number)
{
    char digits[decimal_text_size];
    int count = 0;
    // Computed on the unsigned magnitude so that the smallest LONG has one too.
    DWORD magnitude = number < 0 ? 0u - static_cast<DWORD>(number) : static_cast<DWORD>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    int length = 0;
    if (number < 0)
        out[length++] = '-';
    while (count)
        out[length++] = digits[--count];
    out[length] = 0;
}

void format_hex(char* out, DWORD value, int min_digits)
{
    static const char hex_digits[] = "0123456789abcdef";
    char digits[8];
    int count = 0;
    do {
        digits[count++] = hex_digits[value & 15];
        value >>= 4;
    } while (value || count < min_digits);
    for (int i = 0; i < count; ++i)
        out[i] = digits[count - 1 - i];
    out[count] = 0;
}

bool format_klid(char* out, size_t size, char letter, LONG number)
{
    if (number < 0 || number > 0xfff || size < 9)
        return false;   // "%03lx" would need more than three digits here
    out[0] = letter;
    format_hex(out + 1, static_cast<DWORD>(number), 3);
    memcpy(out + 4, "0407", 5);
    return true;
}

// Comparing texts ignoring letter case as Windows folds it (CharUpperA, which
// also knows the umlauts of the system code page), one character at a time.
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

// The failure text of the layout registration, which the flows show themselves.
bool fail_layout(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    format_text(layout_error_text, layout_error_size, format, arguments);
    va_end(arguments);
    return false;
}
