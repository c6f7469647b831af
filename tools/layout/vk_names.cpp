// Virtual-key names and codes, as Windows documents them (winuser.h VK_ values).
#include "tools/layout/vk_names.h"

#include <stdio.h>
#include <string.h>

namespace {

struct vk_pair {
    const char* name;
    int code;
};

const vk_pair named_keys[] = {
    {"CANCEL", 0x03}, {"BACK", 0x08}, {"TAB", 0x09}, {"CLEAR", 0x0C}, {"RETURN", 0x0D},
    {"SHIFT", 0x10}, {"CONTROL", 0x11}, {"MENU", 0x12}, {"PAUSE", 0x13}, {"CAPITAL", 0x14},
    {"ESCAPE", 0x1B}, {"SPACE", 0x20}, {"PRIOR", 0x21}, {"NEXT", 0x22}, {"END", 0x23},
    {"HOME", 0x24}, {"LEFT", 0x25}, {"UP", 0x26}, {"RIGHT", 0x27}, {"DOWN", 0x28},
    {"SELECT", 0x29}, {"PRINT", 0x2A}, {"EXECUTE", 0x2B}, {"SNAPSHOT", 0x2C},
    {"INSERT", 0x2D}, {"DELETE", 0x2E}, {"HELP", 0x2F}, {"LWIN", 0x5B}, {"RWIN", 0x5C},
    {"APPS", 0x5D}, {"SLEEP", 0x5F}, {"MULTIPLY", 0x6A}, {"ADD", 0x6B}, {"SEPARATOR", 0x6C},
    {"SUBTRACT", 0x6D}, {"DECIMAL", 0x6E}, {"DIVIDE", 0x6F}, {"NUMLOCK", 0x90},
    {"SCROLL", 0x91}, {"LSHIFT", 0xA0}, {"RSHIFT", 0xA1}, {"LCONTROL", 0xA2},
    {"RCONTROL", 0xA3}, {"LMENU", 0xA4}, {"RMENU", 0xA5}, {"BROWSER_BACK", 0xA6},
    {"BROWSER_FORWARD", 0xA7}, {"BROWSER_REFRESH", 0xA8}, {"BROWSER_STOP", 0xA9},
    {"BROWSER_SEARCH", 0xAA}, {"BROWSER_FAVORITES", 0xAB}, {"BROWSER_HOME", 0xAC},
    {"VOLUME_MUTE", 0xAD}, {"VOLUME_DOWN", 0xAE}, {"VOLUME_UP", 0xAF},
    {"MEDIA_NEXT_TRACK", 0xB0}, {"MEDIA_PREV_TRACK", 0xB1}, {"MEDIA_STOP", 0xB2},
    {"MEDIA_PLAY_PAUSE", 0xB3}, {"LAUNCH_MAIL", 0xB4}, {"LAUNCH_MEDIA_SELECT", 0xB5},
    {"LAUNCH_APP1", 0xB6}, {"LAUNCH_APP2", 0xB7}, {"OEM_1", 0xBA}, {"OEM_PLUS", 0xBB},
    {"OEM_COMMA", 0xBC}, {"OEM_MINUS", 0xBD}, {"OEM_PERIOD", 0xBE}, {"OEM_2", 0xBF},
    {"OEM_3", 0xC0}, {"ABNT_C1", 0xC1}, {"ABNT_C2", 0xC2}, {"OEM_4", 0xDB}, {"OEM_5", 0xDC},
    {"OEM_6", 0xDD}, {"OEM_7", 0xDE}, {"OEM_8", 0xDF}, {"OEM_102", 0xE2},
    {"OEM_RESET", 0xE9}, {"OEM_JUMP", 0xEA}, {"OEM_PA1", 0xEB}, {"OEM_PA2", 0xEC},
    {"OEM_PA3", 0xED}, {"OEM_WSCTRL", 0xEE}, {"OEM_FINISH", 0xF1}, {"OEM_AUTO", 0xF3},
    {"OEM_BACKTAB", 0xF5}, {"EREOF", 0xF9}, {"ZOOM", 0xFB},
};

char numbered_name[16];

}  // namespace

int vk_from_name(const char* name)
{
    size_t length = strlen(name);
    if (length == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z')))
        return name[0];
    int number = 0;
    char tail = 0;
    if (sscanf(name, "NUMPAD%d%c", &number, &tail) == 1 && number >= 0 && number <= 9 &&
        length == 7)
        return 0x60 + number;
    if (sscanf(name, "F%d%c", &number, &tail) == 1 && number >= 1 && number <= 24 &&
        length == (number < 10 ? 2u : 3u))
        return 0x70 + number - 1;
    for (const vk_pair& pair : named_keys)
        if (strcmp(pair.name, name) == 0) return pair.code;
    return -1;
}

const char* vk_name(int vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        snprintf(numbered_name, sizeof numbered_name, "%c", vk);
        return numbered_name;
    }
    if (vk >= 0x60 && vk <= 0x69) {
        snprintf(numbered_name, sizeof numbered_name, "NUMPAD%d", vk - 0x60);
        return numbered_name;
    }
    if (vk >= 0x70 && vk <= 0x87) {
        snprintf(numbered_name, sizeof numbered_name, "F%d", vk - 0x70 + 1);
        return numbered_name;
    }
    for (const vk_pair& pair : named_keys)
        if (pair.code == vk) return pair.name;
    return nullptr;
}
