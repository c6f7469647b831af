// The host tools' shared command-line and file steps, on plain stdio.
#include "tools/common_io.h"

#include <stdio.h>

bool arguments_fit(int argc, int least, int most, const char* usage)
{
    // argv[0] is the tool itself.
    if (argc - 1 >= least && argc - 1 <= most) return true;
    fprintf(stderr, "usage: %s\n", usage);
    return false;
}

bool read_whole_file(const char* path, std::string* content)
{
    content->clear();
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) content->append(buffer, got);
    fclose(file);
    return true;
}

bool write_whole_file(const char* path, const void* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    bool written = fwrite(data, 1, size, file) == size;
    if (fclose(file) != 0 || !written) {
        fprintf(stderr, "cannot write %s\n", path);
        remove(path);
        return false;
    }
    return true;
}
