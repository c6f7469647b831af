// Caption of the installer's copy and delete failure boxes (files/file_ops.h);
// the uninstaller links its own.
#include "files/file_ops.h"

extern const char operation_caption[] = "Tastaturtreiber-Installation";
