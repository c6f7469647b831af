// layoutgen <layout file> <output.c>: the host step that turns the layout
// source into the tables of the three layout libraries.
#include <stdio.h>
#include <string.h>

#include "tools/layout/layout_source.h"
#include "tools/layoutgen/emit_tables.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: layoutgen <layout file> <output.c>\n");
        return 2;
    }
    layout_source layout;
    std::string error;
    if (!load_layout(argv[1], &layout, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const char* slash = strrchr(argv[1], '/');
    std::string source = emit_tables(layout, slash ? slash + 1 : argv[1]);
    FILE* file = fopen(argv[2], "wb");
    if (!file) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    bool written = fwrite(source.data(), 1, source.size(), file) == source.size();
    if (fclose(file) != 0 || !written) {
        fprintf(stderr, "cannot write %s\n", argv[2]);
        remove(argv[2]);
        return 1;
    }
    return 0;
}
