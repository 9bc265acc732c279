#include "messages.h"

#include <algorithm>
#include <array>

namespace {
using Messages::Entry;

constexpr auto table = std::to_array<Entry>({
    {Msg::MarkFunctionsFirst, u"Sie müssen die zu löschenden Funktionen zuerst markieren"},
    {Msg::ConfirmDeleteProject, u"Wollen Sie das Projekt \"$1\" wirklich löschen?"},
    {Msg::ProjectNotDeleted, u"Das Projekt konnte nicht gelöscht werden."},
    {Msg::ProjectExists, u"Projekt bereits vorhanden"},
    {Msg::InvalidProjectName, u"Projekt konnte nicht angelegt werden. Ungültiger Projektname."},
    {Msg::TimeSyncHint, u"Hinweis: Zeitsynchronisation ist eingeschaltet. Im Bussystem müssen dann alle "
                        u"Zeitgeber auf \"Slave\" gestellt werden!"},
    {Msg::InvalidPort, u"Ungültiger Port!"},
    {Msg::InvalidPassword, u"Ungültiges OpenWeb-Passwort!"},
    {Msg::InvalidPollSeconds, u"Ungültige Statusabfragezeit-Sekunden!"},
    {Msg::EnterProjectName, u"Bitte Projektname eingeben"},
    {Msg::AddressEmpty, u"Adresse darf nicht leer sein!"},
    {Msg::AddressInvalid, u"Adresse ungültig!"},
    {Msg::Execute, u"Ausführen"},
    {Msg::AddressRange, u"Adresse muss zwischen $1 und $2 liegen!"},
    {Msg::AreaRange, u"Bereich muss zwischen 0 und 10 liegen!"},
    {Msg::GroupRange, u"Gruppe muss zwischen 1 und 255 liegen!"},
    {Msg::ScenarioKeyRange, u"Szenarien-Taste muss zwischen $1 und $2 liegen!"},
    {Msg::EditGroup, u"Gruppe bearbeiten"},
    {Msg::GroupLabel, u"Gruppenbezeichnung"},
    {Msg::AddGroup, u"Gruppe hinzufügen"},
    {Msg::GroupUsedByScene,
     u"Löschen von \"$1\" nicht erlaubt, da eine individuelle Szene mit dieser Gruppe existiert!"},
    {Msg::SerialNumber, u"Seriennummer:"},
    {Msg::ServerTime, u"Server-Zeit:"},
    {Msg::LookupTitle, u"Suche IP-Adresse"},
    {Msg::LookupSerialPrompt, u"Seriennummer des Varuno:"},
    {Msg::IpFound, u"IP-Adresse gefunden:"},
    {Msg::IpNotFound, u"Es konnte keine IP-Adresse für Seriennummer \"$1\" gefunden werden!"},
    {Msg::LookupUnreachable, u"Suche nicht möglich. Keine Verbindung zum Cloudserver!"},
    {Msg::TransferSucceeded, u"Datenübertragung erfolgreich!"},
    {Msg::TransferFailed, u"Fehler bei Datenübertragung!"},
    {Msg::EnterIp, u"Bitte eine IP-Adresse eingeben"},
    {Msg::Connecting, u"Verbinde mit Varuno…"},
    {Msg::NoConnection, u"Es konnte keine Verbindung zum Varuno aufgebaut werden!"},
    {Msg::SentOk, u"Daten erfolgreich gesendet!"},
    {Msg::ReceivedOk, u"Daten erfolgreich empfangen!"},
    {Msg::TransferError, u"Fehler: Daten konnten nicht übermittelt werden!"},
    {Msg::KindLights, u"Lichter/Schalter"},
    {Msg::KindDimmers, u"Dimmer"},
    {Msg::KindBlinds, u"Jalousien/Raffstore"},
    {Msg::KindCen, u"CEN"},
    {Msg::KindScenarios, u"Szenarien"},
    {Msg::KindGroupScenes, u"individuelle Szenen"},
    {Msg::Yes, u"Ja"},
    {Msg::No, u"Nein"},
    {Msg::StopAllBlinds, u"Alle Jalousien/Raffstore stoppen"},
    {Msg::LabelEmpty, u"Bezeichnung darf nicht leer sein!"},
    {Msg::SceneMissing, u"Es muss eine individuelle Szene ausgewählt werden, welche geschalten werden soll!"},
    {Msg::AlexaSwitchExample, u"\"Alexa, $1 ein-/ausschalten\""},
    {Msg::AlexaDimExample, u"\"Alexa, $1 auf 50%\""},
    {Msg::AlexaBlindExample, u"\"Alexa, fahre $1 hoch/runter\""},
    {Msg::AlexaSceneExample, u"\"Alexa, führe $1 aus\""},
    {Msg::EditFunction, u"Funktion bearbeiten"},
    {Msg::NewFunction, u"Neue Funktion"},
    {Msg::PointToPoint, u"Punkt-zu-Punkt"},
    {Msg::Area, u"Bereich"},
    {Msg::Group, u"Gruppe"},
    {Msg::General, u"General"},
    {Msg::EnterSerial, u"Bitte Seriennummer eingeben"},
    {Msg::LightHint, u"Licht oder Steckdose schalten"},
    {Msg::DimmerHint, u"Lichter mit Dimmwert schalten (z. B. 50 % usw.)"},
    {Msg::BlindHint, u"Automationsfunktion für Raffstore, Jalousie, Dachfenster usw."},
    {Msg::CenHint, u"MH200 Szenarien schalten"},
    {Msg::ScenarioHint, u"Schaltet Szenarien vom Szenarienmodul"},
    {Msg::GroupSceneHint, u"Mehrere Funktionen gemeinsam als Gruppe schalten (als Szenario)"},
    {Msg::CheckingBusServer, u"Prüfe BTicino-Server-Adresse…"},
    {Msg::BusServerMissingSendAnyway, u"Es konnte kein BTicino-Server unter der IP $1 gefunden werden! "
                                      u"Wollen Sie die Konfiguration trotzdem senden?"},
    {Msg::VoiceHint, u"Funktion über Sprachsteuerung (Alexa, Siri/HomeKit) schaltbar machen"},
    {Msg::ScenarioExample, u"Funktion schaltet Szenario vom F420"},
    {Msg::LightExample, u"Funktion schaltet z. B. F4114"},
    {Msg::DimmerExample, u"Funktion schaltet und dimmt z. B. F418"},
    {Msg::CenExample, u"Funktion schaltet z. B. CEN-Befehle vom MH200 oder MH202"},
    {Msg::ScenesUnsupportedSendAnyway, u"Ihr Varuno unterstütz noch keine Szenebefehle. Bitte führen Sie ein "
                                       u"Update durch. Wollen Sie die Konfiguration trotzdem senden?"},
    {Msg::PrivateRiser, u"Private Steigleitung (Standard)"},
    {Msg::LocalBus, u"Lokaler Bus"},
    {Msg::BlindVoiceHint, u"Ja: Jalousie über Siri/HomeKit steuern, Nein: über Alexa steuern"},
    {Msg::SiriSwitchExample, u"\"Hey Siri, schalte $1 ein/aus\""},
    {Msg::ConfirmDeleteFunctions, u"Wollen Sie die markierten Funktionen löschen?"},
    {Msg::FrameGeneral, u"Allgemein"},
    {Msg::CenStandard, u"CEN (Standard)"},
    {Msg::CenPlusShort, u"CEN+ (kurz)"},
    {Msg::CenPlusLong, u"CEN+ (lang)"},
    {Msg::LabelQuoteOrBackslash,
     u"Bezeichnung darf weder Anführungszeichen (\") noch Backslash (\\) enthalten!"},
    {Msg::ProjectLocked, u"Das Projekt wird gerade bearbeitet: $1, Prozess $2. Es wurde nichts geändert."},
    {Msg::LockHolderWindow, u"Programmfenster"},
    {Msg::LockHolderCommandLine, u"Kommandozeile"},
    {Msg::LockImpossible,
     u"Das Projekt kann nicht gesperrt werden: Im Ordner $1 lässt sich keine Sperrdatei anlegen."},
    {Msg::NoConfigurationOnGateway,
     u"Auf dem Varuno wurde keine Konfiguration gefunden. Das Projekt wurde nicht verändert."},
    {Msg::TransferCancelled, u"Die Übertragung wurde abgebrochen."},
    {Msg::BackupFailed, u"Die Sicherung konnte nicht angelegt werden. Es wurde nichts übertragen. $1"},
    {Msg::RestoreBackupMenu, u"Sicherung wiederherstellen…"},
    {Msg::ChooseBackup, u"Welche Sicherung soll wiederhergestellt werden?"},
    {Msg::BackupBeforeReceive, u"Projekt vor dem Empfangen (Dateien: $1)"},
    {Msg::BackupBeforeSend, u"Varuno vor dem Senden (Dateien: $1)"},
    {Msg::BackupBeforeRestore, u"Projekt vor dem Wiederherstellen (Dateien: $1)"},
    {Msg::NoBackups, u"Für dieses Projekt gibt es noch keine Sicherung."},
    {Msg::RestoreFailed,
     u"Die Sicherung konnte nicht wiederhergestellt werden. Das Projekt wurde nicht verändert. $1"},
    {Msg::CheckDuplicateAddress, u"Doppelte Busadresse $1: $2"},
    {Msg::CheckDuplicateAlias, u"Alias $1 mehrfach vergeben: $2"},
    {Msg::CheckMissingGroup, u"Gruppe $1 fehlt in der Gruppenliste, verwendet von: $2"},
    {Msg::CheckEmptyScene, u"Individuelle Szene $1 schaltet nichts: keine Funktion in $2"},
    {Msg::CheckLostOnSave, u"$1 geht beim Speichern und Laden verloren"},
    {Msg::CheckChangedOnSave, u"$1 wird beim Speichern und Laden zu $2"},
    {Msg::CheckChangedNextSave, u"$1 ändert sich beim nächsten Speichern oder fällt weg: $2"},
    {Msg::CheckRejectedByOpenHab, u"$1: openHAB 2.5 lehnt $2 ab"},
    {Msg::CheckSendAnyway, u"Die Prüfung des Projekts hat diese Fehler gefunden. Trotzdem senden?"},
    {Msg::BusUnreachable, u"Kein Busserver unter $1 erreichbar."},
    {Msg::BusPasswordRejected, u"Das Passwort wurde vom Busserver abgelehnt."},
    {Msg::BusCommandRejected, u"Der Befehl $1 wurde vom Bus abgelehnt."},
    {Msg::BusNoAnswer, u"Der Busserver antwortet nicht."},
    {Msg::BusDisconnected, u"Der Busserver hat die Verbindung getrennt."},
    {Msg::BusGarbled, u"Unverständliche Antwort vom Busserver: $1"},
    {Msg::BusConfirmed, u"Vom Bus bestätigt: $1"},
    {Msg::Test, u"Testen"},
    {Msg::TestFunction, u"Funktion testen"},
    {Msg::LearnAddress, u"Adresse lernen"},
    {Msg::FindDevices, u"Busgeräte suchen"},
    {Msg::PressKeyNow, u"Bitte jetzt die Taste am Gerät drücken (höchstens $1 Sekunden) …"},
    {Msg::NoKeyPress, u"Innerhalb von $1 Sekunden kam kein Tastendruck."},
    {Msg::KindMismatch, u"Passt nicht zur gewählten Art: $1"},
    {Msg::Cancelled, u"Abgebrochen."},
    {Msg::FoundInProject, u"Gefunden, im Projekt"},
    {Msg::FoundMissing, u"Gefunden, fehlt im Projekt"},
    {Msg::SilentInProject, u"Im Projekt, antwortet nicht (Adresse falsch?)"},
    {Msg::AddMarked, u"Markierte hinzufügen"},
    {Msg::BusConnected, u"Verbunden mit dem Busserver $1."},
    {Msg::CliHelpOption, u"Zeigt diese Hilfe."},
    {Msg::CliLanguageOption,
     u"Sprache der Meldungen und Überschriften: ein Abschnitt von config/language.ini (Standard: Deutsch)."},
    {Msg::CliIpOption, u"Adresse des Varuno im lokalen Netz (Standard: IP aus project.ini)."},
    {Msg::CliPortOption, u"Port des Redis-Speichers auf dem Varuno (Standard: 6379)."},
    {Msg::CliYesOption, u"Beantwortet jede Rückfrage mit Ja."},
    {Msg::CliSerialOption, u"Seriennummer des Varuno (Standard: SERIAL aus project.ini)."},
    {Msg::CliBusIpOption, u"Adresse des Busservers (Standard: aus den Server-Einstellungen des Projekts)."},
    {Msg::CliBusPortOption, u"Port des Busservers (Standard: Server-Einstellungen)."},
    {Msg::CliPasswordOption, u"OpenWeb-Passwort (Standard: Server-Einstellungen)."},
    {Msg::CliHmacOption, u"Der Busserver verlangt HMAC (Standard: aus den Server-Einstellungen). Das "
                         u"Verfahren wählt immer der Busserver; der Schalter ändert es nicht."},
    {Msg::CliTimeoutOption, u"learn: Wartezeit auf einen Tastendruck (Standard: 30); monitor: Ende nach so "
                            u"vielen Sekunden (Standard: bis Strg-C)."},
    {Msg::CliVersionOption, u"Zeigt die Version."},
    {Msg::CliValueName, u"NAME"},
    {Msg::CliValueAddress, u"ADRESSE"},
    {Msg::CliValuePort, u"PORT"},
    {Msg::CliValueSerial, u"SERIENNUMMER"},
    {Msg::CliValuePassword, u"PASSWORT"},
    {Msg::CliValueSeconds, u"SEKUNDEN"},
    {Msg::CliProjectArgument, u"PROJEKT"},
    {Msg::CliExportArguments, u"PROJEKT [DATEI]"},
    {Msg::CliRestoreArguments, u"PROJEKT SICHERUNG"},
    {Msg::CliBusArguments, u"test|learn|discover|monitor PROJEKT [ALIAS [WORT]]"},
    {Msg::CliProjectsSummary, u"Listet die Projekte auf, eines je Zeile."},
    {Msg::CliRegenerateSummary, u"Schreibt die erzeugten Dateien des Projekts neu."},
    {Msg::CliRegenerateDetails,
     u"Wie Öffnen und Speichern im Programm: Das Projekt wird aus seinen Dateien geladen und seine Items-, "
     u"Cloud-, Rules- und Sitemap-Datei werden daraus neu geschrieben."},
    {Msg::CliExportSummary, u"Exportiert die Funktionen als CSV."},
    {Msg::CliExportDetails, u"Dieselbe Datei wie \"Funktionen in CSV/Excel exportieren…\" im Hauptfenster; "
                            u"ohne DATEI auf die Standardausgabe."},
    {Msg::CliSendSummary, u"Sendet die Konfiguration des Projekts an den Varuno."},
    {Msg::CliReceiveSummary, u"Empfängt die Konfiguration vom Varuno in das Projekt."},
    {Msg::CliTransferDetails,
     u"Der Fortschritt erscheint auf der Standardfehlerausgabe. Rückfragen werden am Terminal gestellt; ohne "
     u"Terminal und ohne --yes gilt Nein. Die Adresse wird als IP in project.ini gespeichert."},
    {Msg::CliLookupSummary, u"Sucht die IP-Adresse des Varuno und gibt sie aus."},
    {Msg::CliLookupDetails,
     u"Fragt den Suchdienst aus config/settings.ini (Cloudserver) nach der Adresse zur Seriennummer; eine "
     u"gefundene Adresse wird als IP in project.ini gespeichert."},
    {Msg::CliBackupsSummary, u"Listet die Sicherungen des Projekts auf, die neueste zuerst."},
    {Msg::CliBackupsDetails,
     u"Je Zeile der Name der Sicherung, ein Tabulator, was sie enthält und die Zahl ihrer Dateien. Empfangen "
     u"und Wiederherstellen sichern vorher die Dateien des Projekts, Senden die Dateien auf dem Varuno; von "
     u"jeder Art bleiben die 20 neuesten."},
    {Msg::CliRestoreSummary, u"Stellt die Dateien einer Sicherung im Projekt wieder her."},
    {Msg::CliRestoreDetails,
     u"Die Dateien des Projekts, die dabei ersetzt werden, werden vorher selbst gesichert; misslingt etwas, "
     u"bleibt das Projekt unverändert. Eine Sicherung des Varuno kommt auf den Varuno zurück, indem man sie "
     u"wiederherstellt und das Projekt dann sendet."},
    {Msg::CliCheckSummary, u"Prüft das Projekt auf Fehler, die den Varuno erreichen würden."},
    {Msg::CliCheckDetails,
     u"Jeder Fehler steht in einer Zeile der Standardausgabe: doppelte Busadressen, mehrfach vergebene "
     u"Aliase, fehlende Gruppen, individuelle Szenen ohne Mitglieder und alles, was Speichern und Laden "
     u"verändern würden. Exit-Status 1, wenn es Fehler gibt. Warnungen zu dem, was der Bus anders versteht "
     u"(CEN-Tasten über 31, Bereiche oder Gruppen ohne Funktion), stehen in der Standardfehlerausgabe und "
     u"ändern den Exit-Status nicht."},
    {Msg::CliBusSummary, u"Testet Funktionen am Bus, lernt Adressen und sucht Busgeräte."},
    {Msg::CliBusDetails,
     u"test ALIAS [on|off|up|down|stop|PROZENT] schaltet die Funktion wie openHAB (ohne WORT wie \"Funktion "
     u"testen\": Licht ein und nach 2 s aus, Dimmer auf 100 % und nach 2 s aus, Jalousie auf, CEN-Taste "
     u"kurz, Szenario, Szene ein) und gibt jedes bestätigte Telegramm aus. learn gibt Art, Adresse, Bus und "
     u"Taste des ersten Telegramms eines Geräts aus. discover gibt je gefundenem Gerät Art, Adresse, Bus und "
     u"Alias (oder -) aus, danach jede Funktion des Projekts, deren Adresse nicht antwortet. monitor gibt "
     u"jedes Telegramm des Busses aus, bis Strg-C. Exit-Status 1, wenn der Bus ablehnt oder nicht "
     u"antwortet."},
    {Msg::CliProjectHelp, u"PROJEKT ist der Name eines Projekts in projects/ neben dem Programm oder ein "
                          u"Pfad mit \"/\" zu einem Projektordner (einem Ordner mit project.ini oder "
                          u"bticino.items); die Einstellungen kommen immer aus config/ neben dem Programm."},
    {Msg::CliGeneralUsage, u"Aufruf: $1 BEFEHL [Optionen] [Argumente]"},
    {Msg::CliCommandsHeading, u"Befehle:"},
    {Msg::CliGeneralOptionsHeading, u"Allgemeine Optionen:"},
    {Msg::CliCommandHelpHint, u"Hilfe zu einem Befehl: $1 BEFEHL --help"},
    {Msg::CliCommandUsage, u"Aufruf: $1 $2 [Optionen]"},
    {Msg::CliOptionsHeading, u"Optionen:"},
    {Msg::CliHelpHint, u"Hilfe: $1 --help"},
    {Msg::CliUnknownCommand, u"Unbekannter Befehl \"$1\"."},
    {Msg::CliWrongArgumentCount, u"Falsche Anzahl von Argumenten."},
    {Msg::CliInvalidPort, u"Ungültiger Port \"$1\"."},
    {Msg::CliUnknownLanguage, u"Unbekannte Sprache \"$1\"; config/language.ini kennt: $2."},
    {Msg::CliUnknownProject, u"Unbekanntes Projekt \"$1\": weder ein Projekt in $2 noch ein Projektordner "
                             u"(ein Pfad mit \"/\" zu einem Ordner mit project.ini oder bticino.items)."},
    {Msg::CliNoCloudServer, u"Keine Suche möglich: in config/settings.ini ist kein Cloudserver eingetragen."},
    {Msg::CliProjectWithoutSerial, u"Das Projekt hat keine Seriennummer; bitte --serial angeben."},
    {Msg::CliNoSerial, u"Keine Seriennummer angegeben."},
    {Msg::CliUnknownBusVerb, u"Unbekannte Aktion \"$1\": test, learn, discover oder monitor."},
    {Msg::CliInvalidTimeout, u"Ungültige Wartezeit \"$1\"."},
    {Msg::CliInvalidBusPort, u"Ungültiger Port des Busservers \"$1\"; bitte --bus-port angeben."},
    {Msg::CliNoBusAddress, u"Keine Adresse des Busservers; bitte --bus-ip angeben."},
    {Msg::CliBusTestArguments, u"bus test braucht PROJEKT ALIAS [on|off|up|down|stop|PROZENT]."},
    {Msg::CliNoSuchAlias, u"Das Projekt hat keine Funktion mit dem Alias \"$1\"."},
    {Msg::CliUnknownTestWord, u"Unbekanntes Wort \"$1\": on, off, up, down, stop oder 0 bis 100."},
    {Msg::CliTestWordUnfit, u"\"$1\" passt nicht zu $2."},
    {Msg::CliSceneWithoutMembers, u"$1 schaltet nichts: Die Szene hat keine Mitglieder."},
    {Msg::FileNotWritten, u"Datei $1 kann nicht geschrieben werden. $2"},
    {Msg::FileNotOpened, u"Datei $1 kann nicht geöffnet werden. $2"},
    {Msg::NoSuchBackup, u"Keine solche Sicherung."},
    {Msg::FolderNotCreated, u"Der Ordner kann nicht angelegt werden."},
    {Msg::LockOtherComputer,
     u"Das Projekt ist auf dem Rechner $1 geöffnet. Ist es dort geschlossen, löschen Sie die Sperrdatei $2 "
     u"und versuchen Sie es erneut. Es wurde nichts geändert."},
    {Msg::LockBusy, u"Das Projekt wird gerade von einem anderen Programm geöffnet. Bitte versuchen Sie es "
                    u"gleich noch einmal. Es wurde nichts geändert."},
    {Msg::ChangeCompleted, u"Eine unterbrochene Änderung des Projekts wurde abgeschlossen (Dateien: $1)."},
    {Msg::ChangeDiscarded,
     u"Eine unterbrochene Änderung des Projekts wurde verworfen, ihre Reste wurden entfernt (Dateien: $1)."},
    {Msg::RepairFailed, u"Eine unterbrochene Änderung des Projekts kann nicht abgeschlossen werden. Es wurde "
                        u"nichts geändert. $1"},
    {Msg::OutputNotWritten, u"Die Ausgabe konnte nicht geschrieben werden: $1"},
    {Msg::ExportIntoProjects,
     u"In den Ordner der Projekte wird nicht exportiert, damit keine Datei eines Projekts "
     u"oder einer Sicherung ersetzt wird: $1. Bitte wählen Sie einen anderen Ordner."},
    {Msg::ItemsFileNotUtf8, u"Die Datei $1 ist nicht als UTF-8 gespeichert (Zeile $2). Damit kein Zeichen "
                            u"verloren geht, wird das Projekt nur angezeigt und nicht gespeichert. Bitte die "
                            u"Datei als UTF-8 speichern und das Projekt neu öffnen."},
    {Msg::ItemsLinesDropped, u"Beim Speichern fallen Zeilen der Datei bticino.items weg, die keine "
                             u"Funktionen sind (Zeilen: $1). Die Datei ist gesichert: $2"},
    {Msg::SaveBackupFailed, u"Die Sicherung konnte nicht angelegt werden. Es wurde nichts gespeichert. $1"},
    {Msg::BackupBeforeSave, u"Projekt vor dem Speichern (Dateien: $1)"},
    {Msg::FilesMissingOnGateway,
     u"Auf dem Varuno fehlen Dateien der Konfiguration: $1. Das Projekt wurde nicht verändert."},
    {Msg::TransferFailedBecause, u"Fehler: Daten konnten nicht übermittelt werden. $1"},
    {Msg::NoGatewayClock,
     u"Der Varuno meldet keine Uhrzeit (rpi-timestamp fehlt). Es wurde nichts übertragen."},
    {Msg::BusLocalUnsupported,
     u"Lokaler Bus $1 wird nicht unterstützt: Das Projekt kennt die lokalen Busse 1 bis 9."},
    {Msg::BusFrameNotHeld, u"$1 kann nicht übernommen werden: $2"},
    {Msg::BusTestSwitchedBack, u"Abgebrochen. Die Funktion wurde zurückgeschaltet: $1"},
    {Msg::BusSessionRefused, u"Der Busserver unter $1 lehnt die Verbindung ab, ohne nach einem Passwort zu "
                             u"fragen. Ist dieser Computer dort freigegeben?"},
    {Msg::BusNoGreeting, u"$1 nimmt die Verbindung an, meldet sich aber nicht als Busserver."},
    {Msg::BusSentOn, u"$1 eingeschaltet"},
    {Msg::BusSentOff, u"$1 ausgeschaltet"},
    {Msg::BusSentLevel, u"$1 auf $2 % gedimmt"},
    {Msg::BusSentUp, u"$1 fährt hoch"},
    {Msg::BusSentDown, u"$1 fährt herunter"},
    {Msg::BusSentStop, u"$1 angehalten"},
    {Msg::BusSentPress, u"$1 gedrückt"},
    {Msg::BusSentRelease, u"$1 losgelassen"},
    {Msg::BusLearnedAs, u"Gelernt: $1"},
    {Msg::BusKindUnknown, u"Art unbekannt"},
    {Msg::BusConnecting, u"Verbinde mit dem Busserver $1 … $2 s"},
    {Msg::CheckCenKeyAboveBus, u"$1: Der Bus kennt nur die CEN-Tasten 0 bis 31, nicht $2."},
    {Msg::CheckCenPlusSharesWhere, u"$1: Die CEN+-Taste hat dieselbe Busadresse wie $2."},
    {Msg::CheckAddressWithoutMembers, u"$1 schaltet $2, doch keine Funktion des Projekts gehört dazu."},
    {Msg::BusTestLeftOn, u"Abgebrochen. Die Funktion blieb eingeschaltet: $1"},
    {Msg::GroupInUse, u"Die Gruppe \"$1\" wird von diesen Funktionen verwendet: $2. Trotzdem löschen?"},
    {Msg::BusServerNotSet,
     u"Für dieses Projekt ist kein BTicino-Server eingetragen (Server-Einstellungen: "
     u"IP-Adresse des BTicino-Gateways). Wollen Sie die Konfiguration trotzdem übertragen?"},
    {Msg::StopTest, u"Test abbrechen"},
    {Msg::StopLearning, u"Lernen abbrechen"},
    {Msg::AddressStoredAs, u"Wird gespeichert als $1"},
    {Msg::ExportOpenHab5Menu, u"Für openHAB 5 exportieren…"},
    {Msg::ExportOpenHab5Folder, u"Ordner für die openHAB-5-Dateien wählen"},
    {Msg::ReplaceOpenHab5Files, u"Im Ordner $1 gibt es schon: $2. Diese Dateien ersetzen?"},
    {Msg::CliExportOpenHab5Summary, u"Exportiert das Projekt für openHAB 5 mit dem OpenWebNet-Binding."},
    {Msg::CliExportOpenHab5Arguments, u"PROJEKT ORDNER"},
    {Msg::CliExportOpenHab5Details,
     u"Schreibt things/bticino.things, items/bticino.items, rules/bticino.rules und "
     u"sitemaps/bticino.sitemap in ORDNER, alle oder keine. Vorhandene Dateien werden nur nach "
     u"Rückfrage oder mit --yes ersetzt. Jede Funktion, die openHAB 5 nicht abbilden kann, steht "
     u"mit dem Grund in einer Zeile der Standardfehlerausgabe."},
    {Msg::OpenHab5LeftOut, u"$1 wird nicht für openHAB 5 exportiert: $2"},
    {Msg::OpenHab5CenKeyOutOfRange, u"Das OpenWebNet-Binding kennt nur die CEN-Tasten 0 bis 31, nicht $1."},
    {Msg::OpenHab5GroupWithoutLight, u"Zu der Adresse $1 gehört keine Licht-Funktion an einem Lichtpunkt, "
                                     u"und das OpenWebNet-Binding braucht eine."},
    {Msg::OpenHab5NotAccepted, u"openHAB 5 und das OpenWebNet-Binding nehmen $1 nicht an."},
<<<<<<< HEAD
    {Msg::FunctionChangesSummary, u"$1 neu, $2 geändert, $3 entfernt"},
    {Msg::ChangedFiles, u"Geänderte Dateien: $1"},
    {Msg::CliDiffOption, u"Zeigt, worin sich die Sicherung NAME vom Projekt unterscheidet, also was ihre "
                         u"Wiederherstellung ändern würde."},
    {Msg::CliUnifiedOption, u"Zeigt zu --diff oder --dry-run auch die geänderten Zeilen jeder Datei, wie diff -u."},
    {Msg::CliDryRunOption, u"Zeigt nur, was das Senden auf dem Varuno ändern würde; schreibt nichts."},
    {Msg::GatewayNotReadable, u"Die Konfiguration auf dem Varuno konnte nicht gelesen werden: $1"},
    {Msg::SentValueDiffers, u"Nach dem Senden hält der Varuno für $1 nicht, was gesendet wurde."},
    {Msg::DryRunNothingSent, u"Probelauf: Es wurde nichts gesendet."},
=======
    {Msg::UndoMenu, u"Rückgängig"},
    {Msg::RedoMenu, u"Wiederholen"},
>>>>>>> main
});

static_assert(std::ranges::is_sorted(table, {}, &Entry::id), "messages must stay in number order");
static_assert(std::ranges::adjacent_find(table, {}, &Entry::id) == table.end(), "a number is one message");
} // namespace

std::span<const Entry> Messages::All()
{
    return table;
}

QString Messages::German(Msg id)
{
    const auto found = std::ranges::lower_bound(table, id, {}, &Entry::id);
    return found != table.end() && found->id == id ? found->german.toString() : QString();
}
