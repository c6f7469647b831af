// Decimal and KLID texts of numbers: the Preload value names and the KLIDs and
// substitution handles that the planning steps form.
#include "registry/layout_support.h"

#include <string.h>

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
