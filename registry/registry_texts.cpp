// The German texts of the layout registration in one place. Texts that take
// no arguments still pass through format_text, so none may contain a percent
// sign of its own.
#include "registry/registry_texts.h"

const char text_open_user_key[] = "Fehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\%s";
const char text_open_machine_key[] = "Fehler beim Öffnen des Registry-Keys HKEY_LOCAL_MACHINE\\%s";
const char text_open_layout_subkey[] = "Fehler beim Öffnen des Registry-Subkeys %s - %s";
const char text_too_many_entries[] =
    "Zu viele Einträge in %s\\%s: höchstens %d können bearbeitet werden.\n"
    "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) wurden nicht "
    "verändert.";
const char text_out_of_memory[] = "Nicht genug Speicher für die Liste der Tastaturbelegungen.";
const char text_key_exists[] = "Schlüssel schon vorhanden";
const char text_key_missing[] = "Schlüssel nicht vorhanden";
const char text_klid_exhausted[] =
    "Keine freie KLID: Neue KLIDs werden nach der höchsten vorhandenen Nummer vergeben, "
    "und die Tastaturbelegung %s trägt schon die höchste mögliche Nummer fff.";
const char text_layout_id_exhausted[] =
    "Keine freie \"Layout Id\": alle Werte von 0c00 bis ffff sind vergeben.";
const char text_standard_layout[] = "Standard-Layout kann nicht entfernt werden";
const char text_new_list_full[] = "INTERNER FEHLER: neue Liste hat mehr als %d Einträge!";
const char text_new_list_empty[] = "INTERNER FEHLER: newpreloadcount ist 0!";
const char text_list_full[] =
    "Die Liste HKEY_CURRENT_USER\\Keyboard Layout\\%s hätte danach mehr als %d Einträge.\n"
    "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) wurden nicht "
    "verändert.";
const char text_name_at_end[] =
    "Der Wert \"%s\" in HKEY_CURRENT_USER\\Keyboard Layout\\Preload kann nicht weiter "
    "nach hinten rücken.\nDie Listen der Tastaturbelegungen des Benutzers (Preload und "
    "Substitutes) wurden nicht verändert.";
const char text_value_unreadable[] =
    "In HKEY_CURRENT_USER\\Keyboard Layout\\%s stehen Werte, die nicht gelesen werden können "
    "(Name oder Daten zu lang, Anzahl: %d); beim Neuschreiben der Liste gingen sie verloren.\n"
    "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) wurden nicht "
    "verändert.";
const char text_write_value[] =
    "Warnung:\nFehler beim Schreiben des Wertes \"%s\" in den Registry-Key %s - %s";
const char text_write_open[] = "Warnung:\nFehler beim Öffnen des Registry-Keys HKEY_CURRENT_USER\\%s";
const char text_write_delete[] = "Warnung:\nFehler beim Löschen des Registry-Keys %s - %s";
const char text_write_refused[] =
    "Warnung:\nDer Registry-Key %s - %s kann nicht gelöscht und neu erstellt werden.\n"
    "Die Listen der Tastaturbelegungen des Benutzers (Preload und Substitutes) wurden nicht "
    "verändert.";
const char text_write_recreate[] = "Warnung:\nFehler beim Wiedererstellen des Registry-Keys %s - %s";
const char text_key_not_created[] =
    "Fehler beim Erstellen des Registry-Keys HKEY_LOCAL_MACHINE\\%s:\n%s";
const char text_key_not_deleted[] =
    "Fehler beim Löschen des Registry-Keys HKEY_LOCAL_MACHINE\\%s:\n%s";
const char text_value_not_written[] =
    "Fehler beim Schreiben des Registry-Werts \"%s\" unter HKEY_LOCAL_MACHINE\\%s:\n%s";
