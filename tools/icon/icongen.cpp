// icongen <icon source> <output.ico>: makes the programs' icon from its pixel-art source.
#include <stdio.h>

#include "tools/common_io.h"
#include "tools/icon/icon_source.h"

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 2, 2, "icongen <icon source> <output.ico>")) return 2;
    icon_source icon;
    std::string error;
    if (!load_icon_source(argv[1], &icon, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes = encode_ico(icon);
    return write_whole_file(argv[2], bytes.data(), bytes.size()) ? 0 : 1;
}
