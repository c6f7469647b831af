// icocheck <file.ico> [icon source]: checks the icon as Windows reads it: two
// images, 48x48 and 32x32, 16 colours at 4 bits per pixel with XOR and AND
// masks, and (given the source) every pixel as drawn there.
#include <stdio.h>

#include <set>

#include "tools/common_io.h"
#include "tools/icon/icon_source.h"

namespace {

std::vector<uint8_t> bytes;
std::vector<std::string> faults;

uint32_t u16_at(size_t at) { return at + 2 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0xFFFF; }
uint32_t u32_at(size_t at) { return u16_at(at) | u16_at(at + 2) << 16; }

void fault(const std::string& what) { faults.push_back(what); }

// One image's DIB: header, palette, colour rows and mask rows, bottom-up.
void check_image(int index, int size, size_t offset, size_t length, const icon_source* source)
{
    std::string name = "image " + std::to_string(size) + "x" + std::to_string(size);
    size_t colour_row = ((size_t)size * 4 + 31) / 32 * 4, mask_row = ((size_t)size + 31) / 32 * 4;
    size_t expected = 40 + 16 * 4 + (colour_row + mask_row) * (size_t)size;
    if (length != expected || offset + length > bytes.size()) {
        fault(name + ": " + std::to_string(length) + " bytes, expected " + std::to_string(expected));
        return;
    }
    if (u32_at(offset) != 40 || u32_at(offset + 4) != (uint32_t)size || u32_at(offset + 8) != (uint32_t)(2 * size) ||
        u16_at(offset + 12) != 1 || u16_at(offset + 14) != 4 || u32_at(offset + 16) != 0)
        fault(name + ": BITMAPINFOHEADER is not 40 bytes, width, double height, 1 plane, 4 bits, uncompressed");
    uint32_t used = u32_at(offset + 32);
    if (used != 0 && used != 16) fault(name + ": biClrUsed " + std::to_string(used));
    size_t colours = offset + 40 + 64, mask = colours + colour_row * (size_t)size;
    int transparent = 0, opaque = 0;
    std::set<int> indices;
    for (int y = 0; y < size; ++y) {
        size_t row = (size_t)(size - 1 - y);
        for (int x = 0; x < size; ++x) {
            uint8_t pair = bytes[colours + row * colour_row + (size_t)x / 2];
            int colour = x % 2 ? pair & 0x0F : pair >> 4;
            bool clear = (bytes[mask + row * mask_row + (size_t)x / 8] >> (7 - x % 8)) & 1;
            // Under a set mask bit the colour is XORed onto the screen: only black leaves it unchanged.
            if (clear && colour != 0) fault(name + ": transparent pixel with a colour");
            clear ? ++transparent : ++opaque;
            if (!clear) indices.insert(colour);
            if (source) {
                int want = source->images[(size_t)index].pixels[(size_t)(y * size + x)];
                if (want != (clear ? icon_transparent : colour)) {
                    fault(name + ": pixel " + std::to_string(x) + "," + std::to_string(y) + " differs from the source");
                    return;
                }
            }
        }
    }
    if (transparent == 0 || opaque == 0 || indices.size() < 3)
        fault(name + ": " + std::to_string(opaque) + " opaque pixels in " + std::to_string(indices.size()) +
              " colours, " + std::to_string(transparent) + " transparent");
}

}  // namespace

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 1, 2, "icocheck <file.ico> [icon source]")) return 2;
    std::string content;
    if (!read_whole_file(argv[1], &content)) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    bytes.assign(content.begin(), content.end());
    icon_source source;
    std::string error;
    if (argc == 3 && !load_icon_source(argv[2], &source, &error)) fault(error);
    static const int sizes[] = {48, 32};
    if (u16_at(0) != 0 || u16_at(2) != 1 || u16_at(4) != 2) {
        fault("not an icon file with two images");
    } else {
        size_t end = 6 + 2 * 16;
        for (int i = 0; i < 2; ++i) {
            size_t entry = 6 + 16 * (size_t)i;
            int size = sizes[i];
            if (bytes[entry] != size || bytes[entry + 1] != size || bytes[entry + 2] != 16 || u16_at(entry + 4) != 1 ||
                u16_at(entry + 6) != 4)
                fault("directory entry " + std::to_string(i) + " is not " + std::to_string(size) +
                      "x" + std::to_string(size) + ", 16 colours, 1 plane, 4 bits");
            size_t length = u32_at(entry + 8), offset = u32_at(entry + 12);
            if (offset != end) fault("image " + std::to_string(i) + " does not follow the one before it");
            end = offset + length;
            bool compare = argc == 3 && faults.empty() && source.images.size() == 2 &&
                           source.images[(size_t)i].size == size;
            check_image(i, size, offset, length, compare ? &source : nullptr);
        }
        if (end != bytes.size()) fault("file is " + std::to_string(bytes.size()) + " bytes, images end at " + std::to_string(end));
    }
    for (const std::string& each : faults) printf("%s: %s\n", argv[1], each.c_str());
    if (!faults.empty()) return 1;
    printf("%s: %zu bytes, 48x48 and 32x32 in 16 colours: all checks passed\n", argv[1], bytes.size());
    return 0;
}
