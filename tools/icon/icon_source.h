// The icon's source: a 16-colour palette and square images drawn with one
// letter a pixel (payload/icon.txt).
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

enum { icon_palette_size = 16, icon_transparent = -1 };

struct icon_image {
    int size;                  // width and height
    std::vector<int> pixels;   // palette index, or icon_transparent; top row first
};

struct icon_source {
    uint32_t palette[icon_palette_size];   // 0xRRGGBB; unused entries black
    std::vector<icon_image> images;
};

bool load_icon_source(const char* path, icon_source* icon, std::string* error);
// The .ico file: per image a BITMAPINFOHEADER (4 bits per pixel), the
// 16-entry palette, the colour (XOR) bitmap and the transparency (AND) mask.
std::vector<uint8_t> encode_ico(const icon_source& icon);
