// The product constants that both programs carry: the names under which the
// installer registers the layout and through which the uninstaller finds it again.
#include "installer/product.h"

const char layout_name[] = "Deutsch - Quarzfeld 2.06";
const char library_file_name[] = "VezOdorQFZ27.DLL";
const char library_base_name[] = "VezOdorQFZ27";
const char library_search_name[] = "VezOdorQFZ27.dll";
const char chart_name[] = "Quarzfeld V2.06 Belegungsschaubild";
const char chart_file_name[] = "Quarzfeld V2.06 Belegungsschaubild.pdf";
const char icon_file_name[] = "Quarzfeld V2.06 Belegungsschaubild.ico";
const char uninstaller_file_name[] = "Uninstall_VezOdorQFZ27.exe";
const char entry_name[] = "Tastaturbelegung Deutsch - Quarzfeld 2.06";
const char product_version[] = "2.06";
const char product_folder_name[] = "Quarzfeld";
const char product_web_address[] = "https://quarzfeld.example/";
const char publisher_text[] = "Quarzfeld-Tastaturbelegung";
