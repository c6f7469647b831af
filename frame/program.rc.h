// Resources that both programs carry: the icon group and the version block.
// A program's .rc defines QF_DESCRIPTION and QF_FILE_NAME, then includes this
// file; the icon comes from the payload folder (windres -I <payload folder>).
#include <winver.h>

LANGUAGE 7, 1

aaProgramIcon ICON "Quarzfeld V2.06 Belegungsschaubild.ico"

VS_VERSION_INFO VERSIONINFO
FILEVERSION 2, 6, 0, 0
PRODUCTVERSION 2, 6, 0, 0
FILEFLAGSMASK 0x3f
FILEFLAGS 0
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
FILESUBTYPE 0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040704e4"
    BEGIN
      VALUE "CompanyName", "Quarzfeld\0"
      VALUE "FileDescription", QF_DESCRIPTION "\0"
      VALUE "FileVersion", "2.06\0"
      VALUE "InternalName", QF_FILE_NAME "\0"
      VALUE "OriginalFilename", QF_FILE_NAME "\0"
      VALUE "ProductName", "Deutsch - Quarzfeld 2.06\0"
      VALUE "ProductVersion", "2.06\0"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0407, 1252
  END
END
