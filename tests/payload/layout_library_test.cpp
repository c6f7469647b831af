// The x64 layout library as Windows loads it: a real load at a base other
// than its preferred one, the export by name and by ordinal, and the tables
// that the returned address leads to, compared with the layout source and
// typed through the way Windows reads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tools/kbdread/kbd_compare.h"
#include "tools/kbdread/kbd_reader.h"
#include "tools/kbdread/kbd_typing.h"
#include "tools/layout/layout_source.h"

namespace {

typedef void* (*descriptor_function)();

// FARPROC to the export's real type (through the generic function type GCC accepts).
descriptor_function as_descriptor(FARPROC proc)
{
    return (descriptor_function)(void (*)(void))proc;
}

struct loaded_module {
    uintptr_t start;
    uintptr_t end;
};

bool read_module(const void* context, uint64_t address, void* out, size_t size)
{
    const loaded_module* module = (const loaded_module*)context;
    if (address < module->start || address > module->end || module->end - address < size) return false;
    memcpy(out, (const void*)(uintptr_t)address, size);
    return true;
}

class LayoutLibrary : public ::testing::Test {
protected:
    // The preferred base is taken before the load, so the loader has to
    // apply the library's relocations.
    void SetUp() override
    {
        blocker = VirtualAlloc((void*)(uintptr_t)0x5FFE0000, 0x10000, MEM_RESERVE, PAGE_NOACCESS);
        SetLastError(0xdeadbeef);
        library = LoadLibraryA(QF_TEST_LIBRARY);
        ASSERT_NE(library, nullptr) << "LoadLibraryA(" << QF_TEST_LIBRARY << ") failed, error " << GetLastError();
        const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)library;
        const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)((const char*)library + dos->e_lfanew);
        module.start = (uintptr_t)library;
        module.end = module.start + nt->OptionalHeader.SizeOfImage;
    }

    void TearDown() override
    {
        if (library) FreeLibrary(library);
        if (blocker) VirtualFree(blocker, 0, MEM_RELEASE);
    }

    void read_tables()
    {
        SetLastError(0xdeadbeef);
        descriptor_function descriptor = as_descriptor(GetProcAddress(library, "KbdLayerDescriptor"));
        ASSERT_NE(descriptor, nullptr) << "GetProcAddress failed, error " << GetLastError();
        void* address = descriptor();
        memory_view view = {read_module, &module, 8, false, nullptr};
        std::vector<std::string> faults;
        read_kbd_tables(view, (uint64_t)(uintptr_t)address, &tables, &faults);
        for (const std::string& fault : faults) ADD_FAILURE() << fault;
    }

    void* blocker = nullptr;
    HMODULE library = nullptr;
    loaded_module module = {0, 0};
    kbd_tables tables;
};

TEST_F(LayoutLibrary, LoadsElsewhereWithItsOneExportByNameAndOrdinal)
{
    if (!blocker) GTEST_SKIP() << "the preferred base 5FFE0000 was not free to reserve";
    EXPECT_NE(module.start, (uintptr_t)0x5FFE0000) << "the library was not moved off its preferred base";
    SetLastError(0xdeadbeef);
    FARPROC by_name = GetProcAddress(library, "KbdLayerDescriptor");
    ASSERT_NE(by_name, nullptr) << "error " << GetLastError();
    SetLastError(0xdeadbeef);
    FARPROC by_ordinal = GetProcAddress(library, MAKEINTRESOURCEA(1));
    EXPECT_EQ(by_ordinal, by_name) << "ordinal 1 is not KbdLayerDescriptor, error " << GetLastError();
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(2)), nullptr);
    // The returned address and every pointer behind it lie inside the moved image.
    uintptr_t tables_address = (uintptr_t)as_descriptor(by_name)();
    EXPECT_GE(tables_address, module.start);
    EXPECT_LT(tables_address, module.end);
}

TEST_F(LayoutLibrary, TablesMatchTheLayoutSource)
{
    read_tables();
    layout_source layout;
    std::string error;
    ASSERT_TRUE(load_layout(QF_TEST_LAYOUT, &layout, &error)) << error;
    std::vector<std::string> faults;
    compare_with_source(tables, layout, &faults);
    check_german_key_names(tables, &faults);
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

struct typing_case {
    int vk;
    int mods;
    bool caps;
    uint32_t expected;
    bool dead;
};

// A German keyboard's own characters, the typographic AltGr layer, Caps Lock,
// dead keys and control characters, as a user types them.
TEST_F(LayoutLibrary, TypesWhatAGermanKeyboardTypes)
{
    read_tables();
    const int shift = mod_shift, altgr = mod_altgr, ctrl = mod_ctrl;
    const typing_case cases[] = {
        {'Z', 0, false, 'z', false},         {'Y', shift, false, 'Y', false},
        {'2', shift, false, '"', false},     {'3', shift, false, 0xA7, false},
        {0xBF, shift, false, '\'', false},   {0xBB, shift, false, '*', false},
        {0xE2, shift, false, '>', false},    {0xBD, shift, false, '_', false},
        {'Q', altgr, false, '@', false},     {'E', altgr, false, 0x20AC, false},
        {'M', altgr, false, 0xB5, false},    {'7', altgr, false, '{', false},
        {'8', altgr, false, '[', false},     {'9', altgr, false, ']', false},
        {'0', altgr, false, '}', false},     {0xDB, altgr, false, '\\', false},
        {0xBB, altgr, false, '~', false},    {0xE2, altgr, false, '|', false},
        {'2', altgr, false, 0xB2, false},    {'3', altgr, false, 0xB3, false},
        {'V', altgr, false, 0x201E, false},  {'B', altgr, false, 0x201C, false},
        {'V', shift | altgr, false, 0x201A, false}, {'B', shift | altgr, false, 0x2018, false},
        {'X', altgr, false, 0xBB, false},    {'Y', altgr, false, 0xAB, false},
        {'X', shift | altgr, false, 0x203A, false}, {'Y', shift | altgr, false, 0x2039, false},
        {0xBD, altgr, false, 0x2013, false}, {0xBD, shift | altgr, false, 0x2014, false},
        {0xBE, altgr, false, 0x2026, false}, {0xBB, shift | altgr, false, 0xD7, false},
        {0xBE, shift | altgr, false, 0xB7, false}, {0x20, altgr, false, 0xA0, false},
        {0xDE, 0, true, 0xC4, false},        {'A', shift, true, 'a', false},
        {'1', 0, true, '1', false},          {0xBF, 0, true, '#', false},
        {'Q', altgr, true, '@', false},      {0xDB, 0, true, 0xDF, false},
        {0xDC, 0, false, '^', true},         {0xDD, 0, false, 0xB4, true},
        {0xDD, shift, false, '`', true},     {0xDC, shift, false, 0xB0, false},
        {'C', ctrl, false, 0x03, false},     {0xBA, ctrl, false, 0x1B, false},
        {0x08, ctrl, false, 0x7F, false},    {0x0D, 0, false, '\r', false},
        {0x1B, 0, false, 0x1B, false},       {0x6E, 0, false, ',', false},
        {0x60, 0, false, '0', false},        {'A', mod_alt, false, 0, false},
    };
    for (const typing_case& c : cases) {
        typed_char got = type_key(tables, c.vk, c.mods, c.caps);
        EXPECT_TRUE(got.ch == c.expected && got.dead == c.dead)
            << "VK " << std::hex << c.vk << " modifiers " << c.mods << (c.caps ? " with Caps Lock" : "")
            << ": expected " << c.expected << (c.dead ? " (dead)" : "") << ", got " << got.ch
            << (got.dead ? " (dead)" : "");
    }
    EXPECT_EQ(compose(tables, '^', 'a'), 0xE2u);
    EXPECT_EQ(compose(tables, '^', 'U'), 0xDBu);
    EXPECT_EQ(compose(tables, 0xB4, 'e'), 0xE9u);
    EXPECT_EQ(compose(tables, 0xB4, 'Y'), 0xDDu);
    EXPECT_EQ(compose(tables, '`', 'o'), 0xF2u);
    EXPECT_EQ(compose(tables, '`', ' '), (uint32_t)'`');
    EXPECT_EQ(compose(tables, '^', ' '), (uint32_t)'^');
    EXPECT_EQ(compose(tables, '^', 'x'), 0u);
}

// Scan codes of the German board (Y and Z swapped, the 102nd key, numpad and
// the E0 keys) and the keys VkKeyScan finds for a character.
TEST_F(LayoutLibrary, MapsScanCodesAndFindsTheMainKeysFirst)
{
    read_tables();
    ASSERT_GE(tables.scan_to_vk.size(), 0x59u);
    EXPECT_EQ(tables.scan_to_vk[0x15], 'Z');
    EXPECT_EQ(tables.scan_to_vk[0x2C], 'Y');
    EXPECT_EQ(tables.scan_to_vk[0x56], 0xE2);
    EXPECT_EQ(tables.scan_to_vk[0x29], 0xDC);
    EXPECT_EQ(tables.scan_to_vk[0x0D], 0xDD);
    EXPECT_EQ(tables.scan_to_vk[0x53], 0x2E | 0x0800 | 0x0400) << "numpad comma key";
    EXPECT_EQ(tables.scan_to_vk[0x36], 0xA1 | 0x0100) << "right Shift";
    bool right_alt = false, numpad_enter = false;
    for (const kbd_scan_vk& entry : tables.e0) {
        right_alt = right_alt || (entry.scan == 0x38 && entry.vk == (0xA5 | 0x0100));
        numpad_enter = numpad_enter || (entry.scan == 0x1C && entry.vk == (0x0D | 0x0100));
    }
    EXPECT_TRUE(right_alt) << "E0 38 is not the right Alt (AltGr)";
    EXPECT_TRUE(numpad_enter) << "E0 1C is not the numpad's Enter";
    EXPECT_EQ(tables.locale_flags & 1u, 1u) << "AltGr flag missing";

    struct scan_case {
        uint32_t ch;
        int vk;
        int mods;
    } const scans[] = {
        {'0', '0', 0}, {',', 0xBC, 0}, {'+', 0xBB, 0}, {'-', 0xBD, 0}, {'*', 0xBB, mod_shift},
        {'/', '7', mod_shift}, {'@', 'Q', mod_altgr}, {'\r', 0x0D, 0}, {'\b', 0x08, 0},
        {'\t', 0x09, 0}, {0x1B, 0x1B, 0},
    };
    for (const scan_case& c : scans) {
        int mods = -1;
        int vk = vk_key_scan(tables, c.ch, &mods);
        EXPECT_TRUE(vk == c.vk && mods == c.mods)
            << "character " << std::hex << c.ch << ": expected VK " << c.vk << " modifiers " << c.mods << ", got VK "
            << vk << " modifiers " << mods;
    }
}

}  // namespace
