// icongen <icon source> <output.ico>: makes the programs' icon from its pixel-art source.
#include <stdio.h>

#include "tools/icon/icon_source.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: icongen <icon source> <output.ico>\n");
        return 2;
    }
    icon_source icon;
    std::string error;
    if (!load_icon_source(argv[1], &icon, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes = encode_ico(icon);
    FILE* file = fopen(argv[2], "wb");
    bool ok = file && fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && fclose(file) != 0) ok = false;
    if (!ok) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        remove(argv[2]);
        return 1;
    }
    return 0;
}
