/* The tables of a Windows keyboard-layout library, declared from their documented
 * layout. Windows reads them in the kernel: in the 32-bit library for the 32-bit
 * subsystem of 64-bit Windows (QF_KBD_LONG_POINTERS) every pointer is eight bytes
 * wide and eight-aligned, as the 64-bit kernel sees it. */
#ifndef QF_LAYOUT_TABLES_H
#define QF_LAYOUT_TABLES_H

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned short USHORT;
typedef unsigned short WCHAR;
typedef unsigned int DWORD;

#ifdef QF_KBD_LONG_POINTERS
/* A 32-bit address in the low half of a 64-bit field; the high half stays zero. */
#define KBD_PTR(type) struct { type *p; DWORD high; } __attribute__((aligned(8)))
#define KBD_ADDR(address) { (address), 0 }
#define KBD_NULL { 0, 0 }
#else
#define KBD_PTR(type) type *
#define KBD_ADDR(address) (address)
#define KBD_NULL 0
#endif

/* Modifier bits and the marker of a combination that types nothing. */
#define KBDSHIFT 0x01
#define KBDCTRL 0x02
#define KBDALT 0x04
#define SHFT_INVALID 0x0F

/* VK_TO_WCHARS attributes. */
#define CAPLOK 0x01
#define SGCAPS 0x02
#define CAPLOKALTGR 0x04

/* Character values with a meaning of their own. */
#define WCH_NONE 0xF000
#define WCH_DEAD 0xF001
#define WCH_LGTR 0xF002

/* fLocaleFlags: AltGr in the low word, the table version (1) in the high word. */
#define KLLF_ALTGR 0x0001
#define KBD_VERSION 1

typedef struct {
    BYTE Vk;
    BYTE ModBits;
} VK_TO_BIT;

typedef struct {
    KBD_PTR(VK_TO_BIT) pVkToBit;
    WORD wMaxModBits;
    BYTE ModNumber[];
} MODIFIERS;

#define QF_VK_TO_WCHARS(n) \
    typedef struct {       \
        BYTE VirtualKey;   \
        BYTE Attributes;   \
        WCHAR wch[n];      \
    } VK_TO_WCHARS##n;
QF_VK_TO_WCHARS(1)
QF_VK_TO_WCHARS(2)
QF_VK_TO_WCHARS(3)
QF_VK_TO_WCHARS(4)
QF_VK_TO_WCHARS(5)
QF_VK_TO_WCHARS(6)

typedef struct {
    KBD_PTR(VK_TO_WCHARS1) pVkToWchars;
    BYTE nModifications;
    BYTE cbSize;
} VK_TO_WCHAR_TABLE;

typedef struct {
    DWORD dwBoth;          /* base character in the low word, accent in the high word */
    WCHAR wchComposed;
    USHORT uFlags;
} DEADKEY;

typedef struct {
    BYTE vsc;
    KBD_PTR(WCHAR) pwsz;
} VSC_LPWSTR;

typedef KBD_PTR(WCHAR) DEADKEY_LPWSTR;

typedef struct {
    BYTE Vsc;
    USHORT Vk;
} VSC_VK;

typedef struct {
    KBD_PTR(MODIFIERS) pCharModifiers;
    KBD_PTR(VK_TO_WCHAR_TABLE) pVkToWcharTable;
    KBD_PTR(DEADKEY) pDeadKey;
    KBD_PTR(VSC_LPWSTR) pKeyNames;
    KBD_PTR(VSC_LPWSTR) pKeyNamesExt;
    KBD_PTR(DEADKEY_LPWSTR) pKeyNamesDead;
    KBD_PTR(USHORT) pusVSCtoVK;
    BYTE bMaxVSCtoVK;
    KBD_PTR(VSC_VK) pVSCtoVK_E0;
    KBD_PTR(VSC_VK) pVSCtoVK_E1;
    DWORD fLocaleFlags;
    BYTE nLgMax;
    BYTE cbLgEntry;
    KBD_PTR(void) pLigature;
    DWORD dwType;
    DWORD dwSubType;
} KBDTABLES;

/* The sizes and offsets that Windows expects, for all four builds: the 64-bit
 * targets (x64, ARM64) have 8-byte pointers of their own. */
#define QF_CHECK(what, expected) _Static_assert((what) == (expected), #what)
#if __SIZEOF_POINTER__ == 8
#define QF_KBD_NATIVE_64 1
#elif __SIZEOF_POINTER__ != 4
#error "a target with 4-byte or 8-byte pointers is needed"
#endif
#if defined(QF_KBD_LONG_POINTERS) || defined(QF_KBD_NATIVE_64)
#define QF_P(x86, wide) (wide)
#else
#define QF_P(x86, wide) (x86)
#endif
#if defined(QF_KBD_LONG_POINTERS) && defined(QF_KBD_NATIVE_64)
#error "long pointers belong to the 32-bit build only"
#endif

QF_CHECK(sizeof(VK_TO_BIT), 2);
QF_CHECK(__builtin_offsetof(VK_TO_BIT, ModBits), 1);
QF_CHECK(__builtin_offsetof(MODIFIERS, wMaxModBits), QF_P(4, 8));
QF_CHECK(__builtin_offsetof(MODIFIERS, ModNumber), QF_P(6, 10));
QF_CHECK(sizeof(VK_TO_WCHARS1), 4);
QF_CHECK(sizeof(VK_TO_WCHARS6), 14);
QF_CHECK(__builtin_offsetof(VK_TO_WCHARS6, Attributes), 1);
QF_CHECK(__builtin_offsetof(VK_TO_WCHARS6, wch), 2);
QF_CHECK(sizeof(VK_TO_WCHAR_TABLE), QF_P(8, 16));
QF_CHECK(__builtin_offsetof(VK_TO_WCHAR_TABLE, nModifications), QF_P(4, 8));
QF_CHECK(__builtin_offsetof(VK_TO_WCHAR_TABLE, cbSize), QF_P(5, 9));
QF_CHECK(sizeof(DEADKEY), 8);
QF_CHECK(__builtin_offsetof(DEADKEY, wchComposed), 4);
QF_CHECK(__builtin_offsetof(DEADKEY, uFlags), 6);
QF_CHECK(sizeof(VSC_LPWSTR), QF_P(8, 16));
QF_CHECK(__builtin_offsetof(VSC_LPWSTR, pwsz), QF_P(4, 8));
QF_CHECK(sizeof(DEADKEY_LPWSTR), QF_P(4, 8));
QF_CHECK(sizeof(VSC_VK), 4);
QF_CHECK(__builtin_offsetof(VSC_VK, Vk), 2);
QF_CHECK(__builtin_offsetof(KBDTABLES, pVkToWcharTable), QF_P(4, 8));
QF_CHECK(__builtin_offsetof(KBDTABLES, pDeadKey), QF_P(8, 16));
QF_CHECK(__builtin_offsetof(KBDTABLES, pKeyNames), QF_P(12, 24));
QF_CHECK(__builtin_offsetof(KBDTABLES, pKeyNamesExt), QF_P(16, 32));
QF_CHECK(__builtin_offsetof(KBDTABLES, pKeyNamesDead), QF_P(20, 40));
QF_CHECK(__builtin_offsetof(KBDTABLES, pusVSCtoVK), QF_P(24, 48));
QF_CHECK(__builtin_offsetof(KBDTABLES, bMaxVSCtoVK), QF_P(28, 56));
QF_CHECK(__builtin_offsetof(KBDTABLES, pVSCtoVK_E0), QF_P(32, 64));
QF_CHECK(__builtin_offsetof(KBDTABLES, pVSCtoVK_E1), QF_P(36, 72));
QF_CHECK(__builtin_offsetof(KBDTABLES, fLocaleFlags), QF_P(40, 80));
QF_CHECK(__builtin_offsetof(KBDTABLES, nLgMax), QF_P(44, 84));
QF_CHECK(__builtin_offsetof(KBDTABLES, cbLgEntry), QF_P(45, 85));
QF_CHECK(__builtin_offsetof(KBDTABLES, pLigature), QF_P(48, 88));
QF_CHECK(__builtin_offsetof(KBDTABLES, dwType), QF_P(52, 96));
QF_CHECK(__builtin_offsetof(KBDTABLES, dwSubType), QF_P(56, 100));
QF_CHECK(sizeof(KBDTABLES), QF_P(60, 104));

/* The one export (WINAPI, which without arguments is the same as cdecl). The
 * 32-bit library for 64-bit Windows hands the 64-bit address back in EDX:EAX,
 * as a 32-bit function returning a 64-bit integer. */
#ifdef QF_KBD_LONG_POINTERS
unsigned long long KbdLayerDescriptor(void);
#else
KBDTABLES *KbdLayerDescriptor(void);
#endif

#endif
