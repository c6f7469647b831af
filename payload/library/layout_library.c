/* A keyboard-layout library: the generated tables (layout_tables.c, from the
   build folder) and the one export through which Windows finds them. */
#include "layout_tables.c"

#ifdef QF_KBD_LONG_POINTERS
unsigned long long KbdLayerDescriptor(void)
{
    return (unsigned long)&KbdTables;
}
#else
KBDTABLES *KbdLayerDescriptor(void)
{
    return &KbdTables;
}
#endif
