/* Loads a layout library as Windows on ARM does, in an ARM64 process, calls
   its KbdLayerDescriptor and writes what the process then sees into a file:
   the module's headers and sections as they lie in memory (with the loader's
   relocations applied) and the address the function returned. The host reads
   the tables back from that file and compares them with the layout source.

   The library is loaded twice: the first load finds its base, which is then
   reserved, so that the second load must move the module and apply every
   relocation.

   Usage: layout_probe.exe <library> <dump file>
   Dump file (little-endian): "QFKBDMP1", u64 module base, u64 first base,
   u64 returned address, u32 range count, then per range u64 address,
   u32 size and the bytes. Exit code 0, or the number of the step that failed. */

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef unsigned long long u64;
typedef void *HANDLE;
typedef int BOOL;

#define API __declspec(dllimport)
API HANDLE LoadLibraryA(const char *name);
API void *GetProcAddress(HANDLE module, const char *name);
API BOOL FreeLibrary(HANDLE module);
API void *VirtualAlloc(void *address, u64 size, u32 type, u32 protect);
API HANDLE CreateFileA(const char *name, u32 access, u32 share, void *security, u32 disposition,
                       u32 flags, HANDLE template_file);
API BOOL WriteFile(HANDLE file, const void *data, u32 size, u32 *written, void *overlapped);
API BOOL CloseHandle(HANDLE handle);
API char *GetCommandLineA(void);
API __declspec(noreturn) void ExitProcess(u32 code);

#define GENERIC_WRITE 0x40000000u
#define CREATE_ALWAYS 2u
#define MEM_RESERVE 0x2000u
#define PAGE_NOACCESS 0x01u
#define INVALID_HANDLE ((HANDLE)(long long)-1)

static HANDLE dump;

static void fail(u32 step)
{
    if (dump) CloseHandle(dump);
    ExitProcess(step);
}

static void put(const void *data, u32 size)
{
    u32 written = 0;
    if (!WriteFile(dump, data, size, &written, 0) || written != size) fail(20);
}

static void put32(u32 value) { put(&value, 4); }
static void put64(u64 value) { put(&value, 8); }

static u32 le32(const u8 *p) { return p[0] | (u32)p[1] << 8 | (u32)p[2] << 16 | (u32)p[3] << 24; }
static u16 le16(const u8 *p) { return (u16)(p[0] | p[1] << 8); }

/* The next argument of the command line: cut in place, quotes removed. */
static char *next_argument(char **cursor)
{
    char *p = *cursor, *start;
    while (*p == ' ' || *p == '\t') p++;
    if (!*p) return 0;
    if (*p == '"') {
        start = ++p;
        while (*p && *p != '"') p++;
    } else {
        start = p;
        while (*p && *p != ' ' && *p != '\t') p++;
    }
    if (*p) *p++ = 0;
    *cursor = p;
    return start;
}

/* The image's size from its optional header (PE32+). */
static u32 image_size(const u8 *base)
{
    const u8 *nt = base + le32(base + 0x3C);
    return le32(nt + 24 + 56);
}

void probe_main(void)
{
    char *cursor = GetCommandLineA();
    char *library, *path;
    HANDLE module;
    u64 first_base, returned;
    u64 (*descriptor)(void);
    const u8 *base, *nt, *section;
    u32 sections, header_size, i;

    if (!next_argument(&cursor) || !(library = next_argument(&cursor)) || !(path = next_argument(&cursor)))
        fail(1);
    module = LoadLibraryA(library);
    if (!module) fail(2);
    first_base = (u64)module;
    u32 size = image_size((const u8 *)module);
    if (!FreeLibrary(module)) fail(3);
    if (!VirtualAlloc((void *)first_base, size, MEM_RESERVE, PAGE_NOACCESS)) fail(4);
    module = LoadLibraryA(library);
    if (!module) fail(5);
    if ((u64)module == first_base) fail(6);
    descriptor = (u64 (*)(void))GetProcAddress(module, "KbdLayerDescriptor");
    if (!descriptor) fail(7);
    returned = descriptor();

    dump = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    if (dump == INVALID_HANDLE) {
        dump = 0;
        fail(8);
    }
    base = (const u8 *)module;
    nt = base + le32(base + 0x3C);
    sections = le16(nt + 6);
    header_size = le32(nt + 24 + 60);
    section = nt + 24 + le16(nt + 20);
    put("QFKBDMP1", 8);
    put64((u64)module);
    put64(first_base);
    put64(returned);
    put32(1 + sections);
    put64((u64)base);
    put32(header_size);
    put(base, header_size);
    for (i = 0; i < sections; i++, section += 40) {
        u32 rva = le32(section + 12), virtual_size = le32(section + 8);
        put64((u64)(base + rva));
        put32(virtual_size);
        put(base + rva, virtual_size);
    }
    if (!CloseHandle(dump)) {
        dump = 0;
        fail(21);
    }
    ExitProcess(0);
}
