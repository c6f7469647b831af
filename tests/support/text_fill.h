// A program's format text filled with the given texts in order, as the
// programs' message functions fill each %s: for the expected text of a box.
#pragma once
#include <string>
#include <vector>

inline std::string fill_text(const char* format, const std::vector<std::string>& texts)
{
    std::string out = format;
    size_t at = 0;
    for (const auto& text : texts) {
        at = out.find("%s", at);
        if (at == std::string::npos)
            break;
        out.replace(at, 2, text);
        at += text.size();
    }
    return out;
}
