# The programs' own German texts and names, as the users see them; the suite
# compares the boxes with these in code page 1252, the programs' code page.

INSTALLER = 'Install_VezOdorQFZ27'
UNINSTALLER = 'Uninstall_VezOdorQFZ27'
INSTALLER_TITLE = INSTALLER + ' V2.06 - Tastaturtreiber-Installation'
UNINSTALLER_TITLE = UNINSTALLER + ' V2.06 - Tastaturtreiber-Deinstallation'

LAYOUT_NAME = 'Deutsch - Quarzfeld 2.06'
LIBRARY = 'VezOdorQFZ27.DLL'
ENTRY_NAME = 'Tastaturbelegung Deutsch - Quarzfeld 2.06'
CHART_NAME = 'Quarzfeld V2.06 Belegungsschaubild'
PRODUCT_FOLDER = 'Quarzfeld'

# Installer
ARGUMENT_REFUSED = 'Installationsprogramm falsch aufgerufen (mit Kommandoparameter %s)'
QUESTION = 'Wollen Sie jetzt folgenden Tastatur-Treiber %s?\n\n%s\n\n'   # the terms follow
INSTALL_ABORTED = 'Installation abgebrochen.'
INSTALLED = ('Tastaturbelegung Deutsch - Quarzfeld 2.06 erfolgreich installiert.\n'
             'Die Tastaturbelegung steht Ihnen nach einem Systemneustart zur Verfügung.\n\n'
             '=== BITTE SYSTEM JETZT NEU STARTEN! ===')
UPDATED = 'Tastaturbelegung %s erfolgreich aktualisliert.%s'
RESTART_NOTE = '\n\nNach einem Systemneustart sollte die Tastaturbelegung wieder voreingestellt sein.'

# Uninstaller
_BAD_CALL = 'Deinstallationsprogramm nicht mit gültigem Registry-Key die Tastatur aufgerufen '
KLID_MISSING = _BAD_CALL + '(Angabe fehlt)'
KLID_LENGTH = _BAD_CALL + '(Länge nicht 8 Zeichen):\n%s'
KLID_NOT_GERMAN = _BAD_CALL + '(endet nicht in "0407", also kein deutsches Layout):\n%s'
KLID_STANDARD = _BAD_CALL + '(Schlüssel für Standardtastatur: nicht deinstallierbar):\n%s'
KLID_UNKNOWN = ('Der Registry-Key des zu deinstallierenden Tastaturtreibers wurde nicht gefunden.\n'
                'Treiber: %sKey: %s\nDLL: %s.DLL')
REMOVE_QUESTION = 'Soll folgender Tastatur-Treiber deinstalliert werden?\n\n%s'
REMOVAL_ABORTED = 'Deinstallation abgebrochen.'
REMOVED = 'Folgender Tastatur-Treiber wurde deinstalliert:\n%s'
