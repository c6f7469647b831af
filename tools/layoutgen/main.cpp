// layoutgen <layout file> <output.c>: the host step that turns the layout
// source into the tables of the four layout libraries.
#include <stdio.h>
#include <string.h>

#include "tools/common_io.h"
#include "tools/layout/layout_source.h"
#include "tools/layoutgen/emit_tables.h"

int main(int argc, char** argv)
{
    if (!arguments_fit(argc, 2, 2, "layoutgen <layout file> <output.c>")) return 2;
    layout_source layout;
    std::string error;
    if (!load_layout(argv[1], &layout, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const char* slash = strrchr(argv[1], '/');
    std::string source = emit_tables(layout, slash ? slash + 1 : argv[1]);
    return write_whole_file(argv[2], source.data(), source.size()) ? 0 : 1;
}
