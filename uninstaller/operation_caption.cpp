// Caption of the uninstaller's copy and delete failure boxes (the installer
// links its own text under the same name).
#include "files/file_ops.h"

extern const char operation_caption[] = "Tastaturtreiber-Deinstallation";
