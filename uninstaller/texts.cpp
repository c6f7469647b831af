// The uninstaller's own German texts, verbatim (stored in code page 1252 by the
// compiler's execution character set).
#include "uninstaller/texts.h"

const char text_argument_missing[] =
    "Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen "
    "(Angabe fehlt)";
const char text_argument_length[] =
    "Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen "
    "(Länge nicht 8 Zeichen):\n%s";
const char text_argument_not_german[] =
    "Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen "
    "(endet nicht in \"0407\", also kein deutsches Layout):\n%s";
const char text_argument_standard[] =
    "Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen "
    "(Schlüssel für Standardtastatur: nicht deinstallierbar):\n%s";
const char text_no_temporary_folder[] =
    "Deinstallationsprogramm findet kein verwendbares temporäres Verzeichnis "
    "(nicht vorhanden oder Pfad zu lang), um sein Original löschen zu können.\n"
    "Die Deinstallation wird nicht durchgeführt; es wurde nichts verändert.";
const char text_folder_not_found[] =
    "Der %s konnte nicht ermittelt werden:\n%s\n"
    "Die Deinstallation wird nicht durchgeführt; es wurde nichts verändert.";
const char text_copy_failed[] =
    "Deinstallationsprogramm kann nicht in ein temporäres Verzeichnis kopiert werden, "
    "um sein Original löschen zu können";
const char text_copy_not_started[] =
    "Deinstallationsprogramm kann Kopie im temporären Verzeichnis nicht starten, "
    "um sein Original löschen zu können";
const char text_title_format[] = "%s V%s - Tastaturtreiber-Deinstallation";

const char text_key_not_found[] =
    "Der Registry-Key des zu deinstallierenden Tastaturtreibers wurde nicht gefunden.\n"
    "Treiber: %sKey: %s\nDLL: %s.DLL";
const char text_no_layout_file[] =
    "Der Registry-Key des zu deinstallierenden Tastaturtreibers enthält keine "
    "Treiberdatei-Angabe.\nTreiber: %sKey: %s\nDLL: %s.DLL";
const char text_other_layout_file[] =
    "Der Registry-Key des zu deinstallierenden Tastaturtreibers enthält eine andere "
    "Treiberdatei-Angabe als zum Zeitpunkt der Installation.\n"
    "Aus Sicherheitsgründen wird daher die Deinstallation jetzt nicht durchgeführt.\n"
    "Treiber: %sKey: %s\nDLL bei Installation: %s.DLL\nDLL jetzt: %s";
const char text_single_preload_entry[] =
    "In den Windows-Spracheinstellungen ist die zu deinstallierende Tastaturbelegung "
    "derzeit als einzig auswählbare Belegung hinterlegt.\n"
    "Bitte Wählen Sie dort erst eine andere Tastaturbelegung, bevor Sie die hier "
    "gewählte deinstallieren.";
const char text_confirm[] = "Soll folgender Tastatur-Treiber deinstalliert werden?\n\n%s";
const char text_cancelled[] = "Deinstallation abgebrochen.";
const char text_library_not_deleted[] =
    "Fehler bei Deinstallation von %s:\n"
    "Folgende Treiberdatei konnte nicht gelöscht werden:\n  %s";
const char text_library_missing[] =
    "Problem bei Deinstallation von %s:\nTreiberdatei nicht (mehr) vorhanden:\n  %s\n\n"
    "Trotzdem fortfahren?";
const char text_preload_warning[] =
    "Warnung bei Deinstallation von %s:\nProblem bei Registry-Key-Update:\n  %s";
const char text_layouts_key_not_opened[] =
    "Warnung:\nFehler beim Öffnen des Registry-Keys HKEY_LOCAL_MACHINE\\%s";
const char text_layout_key_not_deleted[] =
    "Warnung:\nFehler beim Löschen des Registry-Keys %s - %s";
const char text_file_not_deleted[] =
    "Warnung bei Deinstallation von %s:\n"
    "Folgende Hilfsdatei konnte nicht gelöscht werden:\n  %s";
const char text_folder_not_removed[] =
    "Warnung bei Deinstallation von %s:\n"
    "Folgendes Hilfsverzeichnis konnte nicht entfernt werden "
    "(möglicherweise ist es nicht leer):\n  %s";
const char text_done[] = "Folgender Tastatur-Treiber wurde deinstalliert:\n%s%s";
const char text_entry_kept[] =
    "\n\nNicht alles konnte entfernt werden; der Eintrag in \"Programme und Features\" "
    "bleibt deshalb erhalten, damit Sie die Deinstallation später wiederholen können.";
const char text_warning[] = "Warnung:\n%s";
// Windows' own language list (Windows 8 and later) kept the layout: a warning,
// and the removal goes on.
const char text_not_disabled[] =
    "Warnung bei Deinstallation von %s:\n"
    "Windows hat die Tastaturbelegung nicht aus der Liste Ihrer Tastaturen genommen.\n"
    "Entfernen Sie sie bitte dort selbst: Einstellungen > Zeit und Sprache > Sprache > "
    "Deutsch > Optionen.";
// The program runs under another account than the signed-in person's: added
// to the question (this account, the signed-in one, this account) and to the
// final message (this account, the signed-in one, the signed-in one).
const char text_other_account_note[] =
    "\n\nHinweis: Dieses Programm läuft unter dem Konto %s, angemeldet ist aber %s. "
    "Die Tastaturbelegung wird von diesem Rechner entfernt, aus der Liste der Tastaturen "
    "und vom Desktop aber nur beim Konto %s.";
const char text_other_account_result[] =
    "\n\nDieses Programm lief unter dem Konto %s, angemeldet ist aber %s. Steht die "
    "Tastaturbelegung beim Konto %s noch in der Liste der Tastaturen, entfernen Sie sie "
    "dort in den Einstellungen: Einstellungen > Zeit und Sprache > Sprache > Deutsch > "
    "Optionen.";
