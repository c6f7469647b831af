// Reader of the pixel-art source and writer of the Windows icon file format
// (ICONDIR, ICONDIRENTRY, and a bottom-up DIB per image).
#include "tools/icon/icon_source.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

void put16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back((uint8_t)value);
    out.push_back((uint8_t)(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Rows of a DIB are padded to four bytes.
size_t row_bytes(int size, int bits) { return ((size_t)size * (size_t)bits + 31) / 32 * 4; }

std::vector<uint8_t> encode_image(const icon_source& icon, const icon_image& image)
{
    std::vector<uint8_t> out;
    int size = image.size;
    size_t colour_row = row_bytes(size, 4), mask_row = row_bytes(size, 1);
    put32(out, 40);
    put32(out, (uint32_t)size);
    put32(out, (uint32_t)(2 * size));   // colour bitmap and mask, one above the other
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, (uint32_t)((colour_row + mask_row) * (size_t)size));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (uint32_t rgb : icon.palette) {
        out.push_back((uint8_t)rgb);
        out.push_back((uint8_t)(rgb >> 8));
        out.push_back((uint8_t)(rgb >> 16));
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colour_row, 0);
        for (int x = 0; x < size; ++x) {
            int index = image.pixels[(size_t)(y * size + x)];
            if (index == icon_transparent) index = 0;   // black under a transparent mask bit
            row[(size_t)x / 2] |= (uint8_t)(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(mask_row, 0);
        for (int x = 0; x < size; ++x)
            if (image.pixels[(size_t)(y * size + x)] == icon_transparent) row[(size_t)x / 8] |= (uint8_t)(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

bool load_icon_source(const char* path, icon_source* icon, std::string* error)
{
    *icon = icon_source();
    FILE* file = fopen(path, "rb");
    if (!file) {
        *error = std::string("cannot open ") + path;
        return false;
    }
    std::string letters;
    char line[512];
    int number = 0;
    icon_image* image = nullptr;
    bool ok = true;
    while (ok && fgets(line, sizeof line, file)) {
        ++number;
        line[strcspn(line, "\r\n")] = 0;
        std::string where = std::string(path) + ":" + std::to_string(number) + ": ";
        char letter = 0;
        unsigned rgb = 0;
        int size = 0;
        if (line[0] == '#' || line[0] == 0) continue;
        if (sscanf(line, "colour %c %6x", &letter, &rgb) == 2) {
            if (letters.size() == icon_palette_size || letter == '.' || letters.find(letter) != std::string::npos) {
                *error = where + "palette full or letter used twice";
                ok = false;
            } else {
                icon->palette[letters.size()] = rgb;
                letters += letter;
            }
        } else if (sscanf(line, "image %d", &size) == 1 && size > 0 && size <= 256) {
            icon->images.push_back({size, {}});
            image = &icon->images.back();
        } else if (image && (int)strlen(line) == image->size && (int)image->pixels.size() < image->size * image->size) {
            for (const char* p = line; *p && ok; ++p) {
                size_t index = letters.find(*p);
                if (*p == '.') image->pixels.push_back(icon_transparent);
                else if (index != std::string::npos) image->pixels.push_back((int)index);
                else {
                    *error = where + "letter '" + std::string(1, *p) + "' is not in the palette";
                    ok = false;
                }
            }
        } else {
            *error = where + "unexpected line";
            ok = false;
        }
    }
    fclose(file);
    for (const icon_image& each : icon->images)
        if (ok && (int)each.pixels.size() != each.size * each.size) {
            *error = std::string(path) + ": image " + std::to_string(each.size) + " is incomplete";
            ok = false;
        }
    if (ok && icon->images.empty()) {
        *error = std::string(path) + ": no image";
        ok = false;
    }
    return ok;
}

std::vector<uint8_t> encode_ico(const icon_source& icon)
{
    std::vector<std::vector<uint8_t>> images;
    for (const icon_image& image : icon.images) images.push_back(encode_image(icon, image));
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);   // an icon, not a cursor
    put16(out, (unsigned)images.size());
    uint32_t offset = 6 + 16 * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        int size = icon.images[i].size;
        out.push_back((uint8_t)(size == 256 ? 0 : size));
        out.push_back((uint8_t)(size == 256 ? 0 : size));
        out.push_back(icon_palette_size);
        out.push_back(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, (uint32_t)images[i].size());
        put32(out, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}
