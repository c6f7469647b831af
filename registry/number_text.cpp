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

bool format_klid(char* out, size_t size, char letter, LONG number)
{
    static const char hex_digits[] = "0123456789abcdef";
    if (number < 0 || number > 0xfff || size < 9)
        return false;   // "%03lx" would need more than three digits here
    out[0] = letter;
    out[1] = hex_digits[(number >> 8) & 15];
    out[2] = hex_digits[(number >> 4) & 15];
    out[3] = hex_digits[number & 15];
    memcpy(out + 4, "0407", 5);
    return true;
}
