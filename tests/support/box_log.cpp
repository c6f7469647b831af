// The box log of the scripted programs: a header line with the lengths, then
// caption and text, each followed by a line break.
#include "tests/support/box_log.h"

#include <stdio.h>

#include "tests/support/test_files.h"

std::vector<logged_box> read_box_log(const std::string& path)
{
    std::vector<logged_box> boxes;
    std::string log = read_file(path);
    size_t position = 0;
    while (position < log.size()) {
        size_t line_end = log.find('\n', position);
        if (line_end == std::string::npos)
            break;
        logged_box box{};
        int owner = 0, caption_length = 0, text_length = 0;
        unsigned long process = 0;
        if (sscanf(log.substr(position, line_end - position).c_str(), "BOX %lu %u %d %d %d",
                   &process, &box.flags, &owner, &caption_length, &text_length) != 5)
            break;
        box.process = process;
        box.had_owner = owner != 0;
        position = line_end + 1;
        box.caption = log.substr(position, caption_length);
        position += caption_length + 1;
        box.text = log.substr(position, text_length);
        position += text_length + 1;
        boxes.push_back(box);
    }
    return boxes;
}
