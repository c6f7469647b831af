// The installer's German texts and the registry value names it writes, kept
// verbatim. Texts with a %s are formats for msg_info/msg_warn.
#include "installer/installer_texts.h"

const char text_wrong_call[] = "Installationsprogramm falsch aufgerufen (mit Kommandoparameter %s)";
const char text_window_title[] = "%s V%s - Tastaturtreiber-Installation";
const char text_question[] = "Wollen Sie jetzt folgenden Tastatur-Treiber %s?\n\n%s\n\n";
const char text_verb_update[] = "aktualisieren";
const char text_verb_install[] = "installieren";
// Shown below the question; it goes into the box literally.
// Line breaks only between paragraphs: the message box wraps the lines itself.
const char text_terms[] =
    "Nutzungsbedingungen:\n"
    "Das Installationsprogramm und die Tastaturbelegung dürfen kostenlos genutzt "
    "und unverändert weitergegeben werden.\n"
    "Die Nutzung geschieht auf eigene Gefahr; für Schäden an Daten oder am System "
    "wird keine Haftung übernommen.\n"
    "Die Installation schreibt in die Systemordner und in die Registry und lässt "
    "sich über \"Programme und Features\" wieder vollständig entfernen.\n"
    "\n"
    "Mit \"Ja\" stimmen Sie diesen Bedingungen zu.";
const char text_cancelled[] = "Installation abgebrochen.";
const char text_folder_not_found[] =
    "Der %s konnte nicht ermittelt werden:\n%s\n"
    "Die Installation wird nicht durchgeführt; es wurde nichts verändert.";
const char text_changed_while_asked[] =
    "Während der Rückfrage wurde die Registrierung der Tastaturbelegung %s verändert "
    "(von einem anderen Programm oder in den Windows-Einstellungen).\n"
    "Es wurde nichts installiert. Bitte starten Sie die Installation erneut.";
const char text_list_warning[] =
    "Warnung bei Installation von %s:\nProblem bei Registry-Key-Update:\n  %s";
const char text_updated[] = "Tastaturbelegung %s erfolgreich aktualisliert.%s";
const char text_restart_hint[] =
    "\n\nNach einem Systemneustart sollte die Tastaturbelegung wieder voreingestellt sein.";
const char text_reopen_failed[] =
    "Fehler beim erneuten Öffnen des Registry-Keys HKEY_LOCAL_MACHINE\\%s";
const char text_layout_key_failed[] = "Fehler beim Erstellen des Tastaturbelegungs-Registry-Keys %s";
const char text_installed[] =
    "Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich installiert.\n"
    "Die Tastaturbelegung steht Ihnen nach einem Systemneustart zur Verfügung.\n"
    "\n"
    "=== BITTE SYSTEM JETZT NEU STARTEN! ===";
const char text_layout_value_failed[] =
    "Fehler beim Schreiben des Registry-Werts \"%s\" unter HKEY_LOCAL_MACHINE\\%s\\%s:\n%s";
const char text_warning[] = "Warnung:\n%s";
// One sentence added to the final message, naming the parts that are missing.
const char text_missing_parts[] = "\n\nFolgende Teile konnten nicht installiert werden: %s.";
const char part_wow64_library[] = "32-Bit-Treiberdatei";
const char part_uninstaller[] = "Deinstallationsprogramm";
const char part_uninstall_entry[] = "Eintrag in \"Programme und Features\"";
const char part_chart[] = "Belegungsschaubild";
const char part_icon[] = "Symbol des Belegungsschaubilds";
const char part_shortcut[] = "Verknüpfung auf dem Desktop";
const char text_uninstall_command[] = "\"%s\" %s";
const char text_removal_and[] = " und ";
const char text_removal_tail[] = " von Ihrem Rechner entfernen";
const char text_vezodor[] = "VezOdor";
const char value_layout_text[] = "Layout Text";
const char value_layout_file[] = "Layout File";
const char value_layout_id[] = "Layout Id";
const char value_created_by_vezodor[] = "Created by VezOdor";
const char value_custom_language_name[] = "Custom Language Name";
const char text_custom_language[] = "German (Germany)";
// Windows' own language list (Windows 8 and later) did not take the layout:
// added to the final message, after the list write that stands in for it.
const char text_add_in_settings[] =
    "\n\nWindows hat die Tastaturbelegung nicht selbst in die Liste Ihrer Tastaturen "
    "übernommen. Möglicherweise müssen Sie sie dort noch hinzufügen: Einstellungen > "
    "Zeit und Sprache > Sprache > Deutsch > Optionen > Tastatur hinzufügen.";
// The program runs under another account than the signed-in person's: a note
// between the question and the terms (this account, the signed-in one, this
// account), and two sentences at the end of the final message (this account,
// the signed-in one, this account; then the signed-in one twice).
const char text_other_account_note[] =
    "Hinweis: Dieses Programm läuft unter dem Konto %s, angemeldet ist aber %s. "
    "Die Tastaturbelegung wird für alle Konten dieses Rechners installiert, in die Liste "
    "der Tastaturen und auf den Desktop kommt sie aber nur beim Konto %s.\n\n";
const char text_other_account_result[] =
    "\n\nDieses Programm lief unter dem Konto %s, angemeldet ist aber %s. In die Liste der "
    "Tastaturen und auf den Desktop kam die Tastaturbelegung nur beim Konto %s.";
const char text_other_account_remedy[] =
    "\nDamit %s sie nutzen kann, fügen Sie sie dort in den Einstellungen hinzu (Einstellungen > "
    "Zeit und Sprache > Sprache > Deutsch > Optionen > Tastatur hinzufügen), oder starten Sie "
    "das Installationsprogramm noch einmal im Konto %s, sobald dieses Konto "
    "Administratorrechte hat: Dort genügt dann die Zustimmung in der Rückfrage von Windows. "
    "(Mit dem Kennwort eines anderen Kontos liefe es wieder unter jenem Konto.)";
