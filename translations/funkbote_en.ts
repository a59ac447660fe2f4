<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>AddressBookText</name>
    <message>
        <source>Kein Datensatz zum löschen verfügbar!</source>
        <translation>There is no record to delete!</translation>
    </message>
    <message>
        <source>Das Adressbuch enthält keine Daten! Suchen abgebrochen!</source>
        <translation>The address book holds no data! Search cancelled!</translation>
    </message>
    <message>
        <source>Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen anzeigen möchten geben Sie kein Suchzeichen ein und drücken &apos;OK&apos;)</source>
        <translation>Please enter the name to search for! (To list all names, enter nothing and press &apos;OK&apos;.)</translation>
    </message>
    <message>
        <source>Suche...</source>
        <translation>Search...</translation>
    </message>
    <message>
        <source>Sie haben niemanden ausgewählt!</source>
        <translation>You have not chosen anyone!</translation>
    </message>
    <message>
        <source>Sie haben keine Personen erfasst, welchen Sie eine SMS senden können! Serien-SMS wurde abgebrochen!</source>
        <translation>You have not entered anyone to send an SMS to! Bulk SMS cancelled!</translation>
    </message>
    <message>
        <source>Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst eine Nachricht für alle Empfänger definieren!</source>
        <translation>Before a bulk SMS can start, you must first write a message for all recipients!</translation>
    </message>
    <message>
        <source>In dieser Funktion werden überlange Nachrichte nicht unterstützt!</source>
        <translation>Overlong messages are not supported in this function!</translation>
    </message>
    <message>
        <source>Die Mobilnummer</source>
        <translation>The mobile number</translation>
    </message>
    <message>
        <source>Die Mobilnummer von %1</source>
        <translation>The mobile number of %1</translation>
    </message>
    <message>
        <source>Bitte korrigieren Sie die Nummer im Adressbuch.</source>
        <translation>Please correct the number in the address book.</translation>
    </message>
    <message>
        <source>(ohne Namen)</source>
        <translation>(no name)</translation>
    </message>
    <message>
        <source>%1 und %2 weitere</source>
        <translation>%1 and %2 more</translation>
    </message>
    <message>
        <source>1 markierte Person wurde nicht eingereiht, weil ihre Mobilnummer so nicht versandt werden kann: %1.</source>
        <translation>1 marked person was not queued because their mobile number cannot be sent to as it stands: %1.</translation>
    </message>
    <message>
        <source>%1 markierte Personen wurden nicht eingereiht, weil ihre Mobilnummer so nicht versandt werden kann: %2.</source>
        <translation>%1 marked people were not queued because their mobile numbers cannot be sent to as they stand: %2.</translation>
    </message>
    <message>
        <source>Die Nachricht wird für 1 Person eingereiht.</source>
        <translation>The message is queued for 1 person.</translation>
    </message>
    <message>
        <source>Die Nachricht wird für %1 Personen eingereiht.</source>
        <translation>The message is queued for %1 people.</translation>
    </message>
    <message>
        <source>Es wird keine Nachricht eingereiht.</source>
        <translation>No message is queued.</translation>
    </message>
    <message>
        <source>Auf das Adressbuch konnte nicht zugegriffen werden.
</source>
        <translation>The address book could not be accessed.
</translation>
    </message>
    <message>
        <source>Ihre Änderungen konnten nicht gespeichert werden. Das Adressbuch bleibt offen, damit nichts verloren geht.
</source>
        <translation>Your changes could not be saved. The address book stays open so that nothing is lost.
</translation>
    </message>
    <message>
        <source>Eine Nummer besteht aus Ziffern, Leerzeichen und den Trennzeichen - / . ( ), ein &quot;+&quot; ist nur am Anfang erlaubt, und sie hat höchstens %1 Ziffern, ein &quot;+&quot; oder &quot;00&quot; am Anfang nicht mitgezählt. Bitte korrigieren Sie die Nummern im Adressbuch.</source>
        <translation>A number consists of digits, spaces and the separators - / . ( ), a &quot;+&quot; is allowed only at the start, and it has at most %1 digits, not counting a &quot;+&quot; or &quot;00&quot; at the start. Please correct the numbers in the address book.</translation>
    </message>
</context>
<context>
    <name>ArchiveLine</name>
    <message>
        <source>Versandstatus unbekannt</source>
        <translation>sending status unknown</translation>
    </message>
    <message>
        <source>abgelehnt: %1</source>
        <translation>refused: %1</translation>
    </message>
    <message>
        <source>nicht versandt: %1</source>
        <translation>not sent: %1</translation>
    </message>
    <message>
        <source>zugestellt</source>
        <translation>delivered</translation>
    </message>
    <message>
        <source>nicht zugestellt</source>
        <translation>not delivered</translation>
    </message>
    <message>
        <source>nicht zugestellt: %1</source>
        <translation>not delivered: %1</translation>
    </message>
    <message>
        <source>Zustellung ausstehend</source>
        <translation>delivery pending</translation>
    </message>
</context>
<context>
    <name>CallTrace</name>
    <message>
        <source>abgebrochen (Programmende)</source>
        <translation>cancelled (program ended)</translation>
    </message>
    <message>
        <source>Ergebnis: %1</source>
        <translation>Result: %1</translation>
    </message>
    <message>
        <source>Verbindungstest erfolgreich</source>
        <translation>Connection test succeeded</translation>
    </message>
    <message>
        <source>Verbindungstest fehlgeschlagen: %1</source>
        <translation>Connection test failed: %1</translation>
    </message>
    <message>
        <source>fehlgeschlagen: %1</source>
        <translation>failed: %1</translation>
    </message>
    <message>
        <source>%1 gesendet</source>
        <translation>%1 sent</translation>
    </message>
    <message>
        <source>%1 abgelehnt</source>
        <translation>%1 refused</translation>
    </message>
    <message>
        <source>beendet</source>
        <translation>ended</translation>
    </message>
    <message>
        <source>Ergebnis: abgelehnt (%1)</source>
        <translation>Result: refused (%1)</translation>
    </message>
</context>
<context>
    <name>ChosenDialogue</name>
    <message>
        <source>Verbindung beendet: Einstellungen geändert</source>
        <translation>Connection ended: settings changed</translation>
    </message>
    <message>
        <source>Passwort aus dem Schlüsselbund nicht lesbar – bitte den Schlüsselbund entsperren</source>
        <translation>Password cannot be read from the keyring – please unlock the keyring</translation>
    </message>
    <message>
        <source>SIM-PIN aus dem Schlüsselbund nicht lesbar – bitte den Schlüsselbund entsperren</source>
        <translation>SIM PIN cannot be read from the keyring – please unlock the keyring</translation>
    </message>
</context>
<context>
    <name>ComPort</name>
    <message>
        <source>Com-Port %1 bezeichnet keine Schnittstelle (gültig sind die Nummern 1 bis 32767)</source>
        <translation>COM port %1 names no serial port (valid numbers are 1 to 32767)</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht öffnen: %2</source>
        <translation>%1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>%1 ist nicht mehr vorhanden (Gerät entfernt?)</source>
        <translation>%1 is no longer present (device removed?)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Ausgabe als JSON.</source>
        <translation>Output as JSON.</translation>
    </message>
    <message>
        <source>Nur ungelesene Nachrichten.</source>
        <translation>Unread messages only.</translation>
    </message>
    <message>
        <source>Daten.mdb aus ORDNER verwenden.</source>
        <translation>Use Daten.mdb from FOLDER.</translation>
    </message>
    <message>
        <source>ORDNER</source>
        <translation>FOLDER</translation>
    </message>
    <message>
        <source>--unread gilt nur für &quot;funkbote inbox&quot;.</source>
        <translation>--unread applies to &quot;funkbote inbox&quot; only.</translation>
    </message>
    <message>
        <source>Unerwartetes Argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>Es gibt keine Datei Daten.mdb in &quot;%1&quot;. Starten Sie Funkbote einmal (mit Fenster oder mit --headless) oder geben Sie den Ordner mit --data an.</source>
        <translation>There is no Daten.mdb in &quot;%1&quot;. Start Funkbote once (with its window or with --headless) or name the folder with --data.</translation>
    </message>
    <message>
        <source>Funkbote läuft, ist aber über D-Bus nicht erreichbar: %1</source>
        <translation>Funkbote is running but cannot be reached over D-Bus: %1</translation>
    </message>
    <message>
        <source>Aufruf: funkbote send NUMMER TEXT (TEXT - liest die Standardeingabe)</source>
        <translation>Usage: funkbote send NUMBER TEXT (TEXT - reads standard input)</translation>
    </message>
    <message>
        <source>Die Standardeingabe kann nicht gelesen werden.</source>
        <translation>Standard input cannot be read.</translation>
    </message>
    <message>
        <source>Daten.mdb kann nicht geschrieben werden: %1</source>
        <translation>Daten.mdb cannot be written: %1</translation>
    </message>
    <message>
        <source>Nachricht %1 ist in der Warteschlange.</source>
        <translation>Message %1 is in the queue.</translation>
    </message>
    <message>
        <source>Nachricht %1 ist in der Warteschlange. Funkbote läuft nicht; sie wird beim nächsten Start versandt.</source>
        <translation>Message %1 is in the queue. Funkbote is not running; it will be sent at the next start.</translation>
    </message>
    <message>
        <source>Aufruf: funkbote status ID (die Zahl, die &quot;funkbote send&quot; ausgab)</source>
        <translation>Usage: funkbote status ID (the number &quot;funkbote send&quot; printed)</translation>
    </message>
    <message>
        <source>Nachricht %1: %2 – %3</source>
        <translation>Message %1: %2 – %3</translation>
    </message>
    <message>
        <source>Daten.mdb kann nicht gelesen werden: %1</source>
        <translation>Daten.mdb cannot be read: %1</translation>
    </message>
    <message>
        <source>Die Warteschlange ist leer.</source>
        <translation>The queue is empty.</translation>
    </message>
    <message>
        <source>Keine ungelesenen Nachrichten.</source>
        <translation>No unread messages.</translation>
    </message>
    <message>
        <source>Der Eingang ist leer.</source>
        <translation>The inbox is empty.</translation>
    </message>
    <message>
        <source>Funkbote läuft nicht. Starten Sie es mit dem Fenster oder mit &quot;funkbote --headless&quot;.</source>
        <translation>Funkbote is not running. Start it with its window or with &quot;funkbote --headless&quot;.</translation>
    </message>
    <message>
        <source>Der Versand läuft.</source>
        <translation>Sending is on.</translation>
    </message>
</context>
<context>
    <name>ConnectionSettings</name>
    <message>
        <source>Das Passwort konnte weder im Schlüsselbund noch in Daten.mdb gespeichert werden:
</source>
        <translation>The password could be saved neither in the keyring nor in Daten.mdb:
</translation>
    </message>
    <message>
        <source>Der Schlüsselbund hat das Passwort nicht angenommen; es wird in Daten.mdb gespeichert.</source>
        <translation>The keyring did not accept the password; it is saved in Daten.mdb.</translation>
    </message>
</context>
<context>
    <name>ContactFile</name>
    <message>
        <source>Kontakte (*.vcf *.vcard *.csv *.txt)</source>
        <translation>Contacts (*.vcf *.vcard *.csv *.txt)</translation>
    </message>
    <message>
        <source>Alle Dateien (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>CSV für Tabellenprogramme (*.csv)</source>
        <translation>CSV for spreadsheets (*.csv)</translation>
    </message>
</context>
<context>
    <name>ContactRecord</name>
    <message>
        <source>Zeile %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
</context>
<context>
    <name>ContactStore</name>
    <message>
        <source>Unbekannter Fehler der Datenbank</source>
        <translation>Unknown database error</translation>
    </message>
</context>
<context>
    <name>ContactText</name>
    <message>
        <source>Kontakte importieren</source>
        <translation>Import contacts</translation>
    </message>
    <message>
        <source>Kontakte exportieren</source>
        <translation>Export contacts</translation>
    </message>
    <message>
        <source>1 Person</source>
        <translation>1 person</translation>
    </message>
    <message>
        <source>%1 Personen</source>
        <translation>%1 people</translation>
    </message>
    <message>
        <source>
… und %1 weitere Hinweise</source>
        <translation>
… and %1 more notes</translation>
    </message>
    <message>
        <source>In der Datei «%1» wurden keine Personen gefunden.</source>
        <translation>No people were found in the file “%1”.</translation>
    </message>
    <message>
        <source>Der Import ist fehlgeschlagen; das Adressbuch ist unverändert geblieben.
</source>
        <translation>The import failed; the address book has not been changed.
</translation>
    </message>
    <message>
        <source>%1 neu aufgenommen</source>
        <translation>%1 added</translation>
    </message>
    <message>
        <source>%1 aktualisiert</source>
        <translation>%1 updated</translation>
    </message>
    <message>
        <source>%1 übersprungen</source>
        <translation>%1 skipped</translation>
    </message>
    <message>
        <source>Import abgeschlossen: %1.</source>
        <translation>Import finished: %1.</translation>
    </message>
    <message>
        <source>Das Adressbuch enthält keine Personen zum Exportieren.</source>
        <translation>The address book holds no people to export.</translation>
    </message>
    <message>
        <source>1 Person wurde in die Datei «%1» exportiert.</source>
        <translation>1 person was exported to the file “%1”.</translation>
    </message>
    <message>
        <source>%1 Personen wurden in die Datei «%2» exportiert.</source>
        <translation>%1 people were exported to the file “%2”.</translation>
    </message>
    <message>
        <source>Die Datei «%1» konnte nicht geschrieben werden: %2</source>
        <translation>The file “%1” could not be written: %2</translation>
    </message>
    <message>
        <source>Die Nachricht für %1 ist mit den eingesetzten Feldern leer. Bitte ergänzen Sie die Nachricht oder die Angaben im Adressbuch.</source>
        <translation>With its fields filled in, the message for %1 is empty. Please complete the message or the details in the address book.</translation>
    </message>
    <message>
        <source>eine Person ohne Namen</source>
        <translation>a person without a name</translation>
    </message>
    <message>
        <source>Vorschau für %1: %2</source>
        <translation>Preview for %1: %2</translation>
    </message>
    <message>
        <source>(ohne Namen)</source>
        <translation>(no name)</translation>
    </message>
</context>
<context>
    <name>CsvFormat</name>
    <message>
        <source>Anführungszeichen mitten in einem Feld; der Text wurde unverändert übernommen.</source>
        <translation>Quotation mark in the middle of a field; the text was taken as it stands.</translation>
    </message>
    <message>
        <source>Das Anführungszeichen wird bis zum Ende der Datei nicht geschlossen; der Rest der Datei wurde als ein Feld gelesen.</source>
        <translation>The quotation mark is not closed before the end of the file; the rest of the file was read as one field.</translation>
    </message>
    <message>
        <source>Die Datei enthält keine Zeilen.</source>
        <translation>The file contains no lines.</translation>
    </message>
    <message>
        <source>nicht übernehmen</source>
        <translation>do not import</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Vorname</source>
        <translation>First name</translation>
    </message>
    <message>
        <source>Nachname</source>
        <translation>Last name</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>PLZ</source>
        <translation>Postcode</translation>
    </message>
    <message>
        <source>Ort</source>
        <translation>Town</translation>
    </message>
    <message>
        <source>PLZ und Ort</source>
        <translation>Postcode and town</translation>
    </message>
    <message>
        <source>Natel-Nummer</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>Bemerkungen</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Die Zeile hat %1 Felder, die Kopfzeile nur %2; die Felder ohne Überschrift wurden nicht übernommen.</source>
        <translation>The line has %1 fields, the header line only %2; the fields without a heading were not imported.</translation>
    </message>
    <message>
        <source>Keine der übernommenen Spalten enthält einen Wert; die Zeile wird übersprungen.</source>
        <translation>None of the imported columns holds a value; the line is skipped.</translation>
    </message>
</context>
<context>
    <name>DemoModem</name>
    <message>
        <source>Der Modem-Simulator &quot;%1&quot; kann nicht gestartet werden: %2</source>
        <translation>The modem simulator &quot;%1&quot; cannot be started: %2</translation>
    </message>
    <message>
        <source>Der Modem-Simulator hat sich vorzeitig beendet (Exit-Code %1).</source>
        <translation>The modem simulator ended early (exit code %1).</translation>
    </message>
    <message>
        <source>Der Modem-Simulator meldet sich nicht.</source>
        <translation>The modem simulator does not answer.</translation>
    </message>
    <message>
        <source>Der Ordner für die Demo kann nicht angelegt werden: %1</source>
        <translation>The folder for the demo cannot be created: %1</translation>
    </message>
    <message>
        <source>Die Daten für die Demo können nicht angelegt werden: %1</source>
        <translation>The data for the demo cannot be created: %1</translation>
    </message>
    <message>
        <source>Der Simulator nennt keinen TCP-Port: %1</source>
        <translation>The simulator names no TCP port: %1</translation>
    </message>
    <message>
        <source>Die Demo wird beendet.</source>
        <translation>The demo ends.</translation>
    </message>
</context>
<context>
    <name>DialUpDialogue</name>
    <message>
        <source>Besetzt</source>
        <translation>Busy</translation>
    </message>
    <message>
        <source>Keine Verbindung</source>
        <translation>No connection</translation>
    </message>
    <message>
        <source>Kein Wählton</source>
        <translation>No dial tone</translation>
    </message>
    <message>
        <source>Keine Antwort</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>Modemfehler</source>
        <translation>Modem error</translation>
    </message>
    <message>
        <source>Leitung unterbrochen</source>
        <translation>Line interrupted</translation>
    </message>
    <message>
        <source>Verbindung abgebrochen</source>
        <translation>Connection lost</translation>
    </message>
    <message>
        <source>Keine Antwort der Zentrale</source>
        <translation>No answer from the message centre</translation>
    </message>
    <message>
        <source>Keine Rufnummer des Service-Providers konfiguriert</source>
        <translation>No service provider number configured</translation>
    </message>
</context>
<context>
    <name>DialogBase</name>
    <message>
        <source>Schliessen</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DialogText</name>
    <message>
        <source>SMS-Versand konfigurieren</source>
        <translation>Configure SMS sending</translation>
    </message>
    <message>
        <source>Informationen zum Programm</source>
        <translation>About this program</translation>
    </message>
</context>
<context>
    <name>EngineStatus</name>
    <message>
        <source>Status: %1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>Status: SMS abgelehnt (%1: %2)</source>
        <translation>Status: SMS refused (%1: %2)</translation>
    </message>
    <message>
        <source>Status: SMS nicht versandt: %1</source>
        <translation>Status: SMS not sent: %1</translation>
    </message>
    <message>
        <source>Status: Verbunden – Warten auf weitere SMS...</source>
        <translation>Status: Connected – waiting for more SMS...</translation>
    </message>
    <message>
        <source>Status: Warten...</source>
        <translation>Status: Waiting...</translation>
    </message>
    <message>
        <source>Status: SMS wird versandt...</source>
        <translation>Status: Sending SMS...</translation>
    </message>
    <message>
        <source>Status: SMS %1 von %2 wird versandt...</source>
        <translation>Status: Sending SMS %1 of %2...</translation>
    </message>
    <message>
        <source>Status: Anmeldung beim SMS-Center...</source>
        <translation>Status: Logging in to the SMS centre...</translation>
    </message>
    <message>
        <source>Status: Verbindung wird hergestellt...</source>
        <translation>Status: Connecting...</translation>
    </message>
    <message>
        <source>Status: Eintrag ins Versand-Archiv fehlgeschlagen (%1) – neuer Versuch in %2 s</source>
        <translation>Status: Entry in the send archive failed (%1) – next try in %2 s</translation>
    </message>
    <message>
        <source>Status: %1 – nächster Versuch in %2 s</source>
        <translation>Status: %1 – next attempt in %2 s</translation>
    </message>
    <message>
        <source>Status: %1 – Versand angehalten</source>
        <translation>Status: %1 – sending stopped</translation>
    </message>
    <message>
        <source>Status: Bereit: empfängt über %1</source>
        <translation>Status: Ready: receiving over %1</translation>
    </message>
</context>
<context>
    <name>FRMAdressBuch</name>
    <message>
        <source>Adressbuch</source>
        <translation>Address book</translation>
    </message>
    <message>
        <source>Adressbuch...</source>
        <translation>Address book...</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Adresse:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>PLZ / Ort:</source>
        <translation>Postcode / town:</translation>
    </message>
    <message>
        <source>Mobilnummer:</source>
        <translation>Mobile number:</translation>
    </message>
    <message>
        <source>Bemerkungen:</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>Neu</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Löschen</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Suchen</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Nummer auf Nachricht übernehmen</source>
        <translation>Use number for the message</translation>
    </message>
    <message>
        <source>Importieren…</source>
        <translation>Import…</translation>
    </message>
    <message>
        <source>Exportieren…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Schliessen</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>FRMArchiv</name>
    <message>
        <source>Archiv</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Archiv der versandten Nachrichten...</source>
        <translation>Archive of sent messages...</translation>
    </message>
    <message>
        <source>Suchen:</source>
        <translation>Search:</translation>
    </message>
    <message>
        <source>Anzeigen:</source>
        <translation>Show:</translation>
    </message>
    <message>
        <source>alle</source>
        <translation>all</translation>
    </message>
    <message>
        <source>versandt</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>abgelehnt</source>
        <translation>refused</translation>
    </message>
    <message>
        <source>Nachrichtenarchiv:</source>
        <translation>Message archive:</translation>
    </message>
    <message>
        <source>Erneut senden</source>
        <translation>Send again</translation>
    </message>
    <message>
        <source>Protokoll</source>
        <translation>Call log</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Bitte wählen Sie zuerst die Nachricht aus, die erneut gesendet werden soll.</source>
        <translation>Please first choose the message to send again.</translation>
    </message>
    <message>
        <source>Die Nachricht an %1 erneut in die Warteschlange stellen?

%2</source>
        <translation>Put the message to %1 into the queue again?

%2</translation>
    </message>
    <message>
        <source>Das Archiv konnte nicht aus %1 gelesen werden:
%2</source>
        <translation>The archive could not be read from %1:
%2</translation>
    </message>
    <message>
        <source>Exportieren…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Archiv exportieren</source>
        <translation>Export archive</translation>
    </message>
    <message>
        <source>Versandarchiv</source>
        <translation>Send archive</translation>
    </message>
    <message>
        <source>CSV-Datei für Tabellenprogramme (*.csv)</source>
        <translation>CSV file for spreadsheets (*.csv)</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Zeit</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Mobilnummer</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>Nachricht</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Das Archiv konnte nicht nach %1 exportiert werden:
%2</source>
        <translation>The archive could not be exported to %1:
%2</translation>
    </message>
    <message numerus="yes">
        <source>%n Nachrichten nach %1 exportiert.</source>
        <translation>
            <numerusform>%n message exported to %1.</numerusform>
            <numerusform>%n messages exported to %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>zugestellt</source>
        <translation>delivered</translation>
    </message>
    <message>
        <source>nicht zugestellt</source>
        <translation>not delivered</translation>
    </message>
    <message>
        <source>Zustellung</source>
        <translation>Delivery</translation>
    </message>
    <message>
        <source>Zustellzeit</source>
        <translation>Delivered at</translation>
    </message>
</context>
<context>
    <name>FRMEingang</name>
    <message>
        <source>Eingang</source>
        <translation>Inbox</translation>
    </message>
    <message>
        <source>Empfangene Nachrichten...</source>
        <translation>Messages received...</translation>
    </message>
    <message>
        <source>Nachrichten:</source>
        <translation>Messages:</translation>
    </message>
    <message>
        <source>Antworten</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>Löschen</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Exportieren…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Sperrliste…</source>
        <translation>Stop list…</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ungelesen: %1</source>
        <translation>Unread: %1</translation>
    </message>
    <message>
        <source>Bitte wählen Sie zuerst eine Nachricht aus.</source>
        <translation>Please select a message first.</translation>
    </message>
    <message>
        <source>Auf diese Nachricht kann nicht geantwortet werden: der Absender «%1» ist keine Mobilnummer.</source>
        <translation>This message cannot be answered: the sender “%1” is not a mobile number.</translation>
    </message>
    <message>
        <source>Wollen Sie diese Nachricht wirklich löschen?</source>
        <translation>Do you really want to delete this message?</translation>
    </message>
    <message>
        <source>Eingang exportieren</source>
        <translation>Export inbox</translation>
    </message>
    <message>
        <source>CSV-Datei für Tabellenprogramme (*.csv)</source>
        <translation>CSV file for spreadsheets (*.csv)</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Zeit</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Absender</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Nachricht</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Der Eingang konnte nicht nach %1 exportiert werden:
%2</source>
        <translation>The inbox could not be exported to %1:
%2</translation>
    </message>
    <message numerus="yes">
        <source>%n Nachrichten nach %1 exportiert.</source>
        <translation>
            <numerusform>%n message exported to %1.</numerusform>
            <numerusform>%n messages exported to %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Der Eingang konnte nicht aus %1 gelesen werden:
%2</source>
        <translation>The inbox could not be read from %1:
%2</translation>
    </message>
    <message>
        <source>Der Eingang konnte in %1 nicht geändert werden:
%2</source>
        <translation>The inbox could not be changed in %1:
%2</translation>
    </message>
</context>
<context>
    <name>FRMInfo</name>
    <message>
        <source>Funkbote - Info</source>
        <translation>Funkbote - About</translation>
    </message>
    <message>
        <source>Funkbote Version 1.0 - Info...</source>
        <translation>Funkbote version 1.0 - About...</translation>
    </message>
    <message>
        <source>Funkbote ist urheberrechtlich geschützt und gehört den Funkbote-Entwicklern. Sie dürfen es nach der GNU General Public License, Version 3 oder neuer, weitergeben und ändern; es kommt ohne jede Gewährleistung.</source>
        <translation>Funkbote is protected by copyright and belongs to the Funkbote developers. You may pass it on and change it under the GNU General Public License, version 3 or later; it comes without any warranty.</translation>
    </message>
    <message>
        <source>Funkbote versendet SMS über Ihr Modem: Die Nachrichten kommen in eine Warteschlange und gehen der Reihe nach an die Mitteilungszentrale Ihres Providers. Versandte Nachrichten finden Sie im Archiv. Fragen oder Anregungen? Schreiben Sie uns bitte an die unten stehende E-Mail-Adresse.</source>
        <translation>Funkbote sends SMS through your modem: the messages go into a queue and from there, one after another, to your provider&apos;s message centre. You find sent messages in the archive. Questions or suggestions? Please write to us at the e-mail address below.</translation>
    </message>
    <message>
        <source>E-Mail: %1</source>
        <translation>E-mail: %1</translation>
    </message>
    <message>
        <source>Web: %1</source>
        <translation>Web: %1</translation>
    </message>
</context>
<context>
    <name>FRMKonfiguration</name>
    <message>
        <source>Modemkonfiguration</source>
        <translation>Modem configuration</translation>
    </message>
    <message>
        <source>Konfiguration...</source>
        <translation>Configuration...</translation>
    </message>
    <message>
        <source>Modem (Wählverbindung)</source>
        <translation>Modem (dial-up)</translation>
    </message>
    <message>
        <source>Internet (TCP/IP)</source>
        <translation>Internet (TCP/IP)</translation>
    </message>
    <message>
        <source>GSM-Modem</source>
        <translation>GSM modem</translation>
    </message>
    <message>
        <source>Verbindung:</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <source>Com-Port des Modems:</source>
        <translation>Modem COM port:</translation>
    </message>
    <message>
        <source>Gerät des Com-Ports</source>
        <translation>Device of the COM port</translation>
    </message>
    <message>
        <source>Rufnummer des Service-Providers:</source>
        <translation>Service provider number:</translation>
    </message>
    <message>
        <source>Initialisierungsbefehl für das Modem:</source>
        <translation>Modem initialisation command:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Verbindung testen</source>
        <translation>Test connection</translation>
    </message>
    <message>
        <source>Testschritte:</source>
        <translation>Test steps:</translation>
    </message>
    <message>
        <source>Erfolg: %1</source>
        <translation>Success: %1</translation>
    </message>
    <message>
        <source>Fehlgeschlagen: %1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>Alle wartenden SMS in einem Anruf senden</source>
        <translation>Send all waiting SMS in one call</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>TCP-Port:</source>
        <translation>TCP port:</translation>
    </message>
    <message>
        <source>Konto (OAdC):</source>
        <translation>Account (OAdC):</translation>
    </message>
    <message>
        <source>Passwort:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>SIM-PIN:</source>
        <translation>SIM PIN:</translation>
    </message>
    <message>
        <source>SMS-Zentrale:</source>
        <translation>SMS centre:</translation>
    </message>
    <message>
        <source>die der SIM-Karte</source>
        <translation>the SIM card&apos;s</translation>
    </message>
    <message>
        <source>Kein Schlüsselbund gefunden: Passwort und PIN werden in Daten.mdb gespeichert.</source>
        <translation>No keyring found: password and PIN are saved in Daten.mdb.</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht aus %1 gelesen werden:
%2

Änderungen in diesem Fenster werden nicht gespeichert.</source>
        <translation>The settings could not be read from %1:
%2

Changes in this window are not saved.</translation>
    </message>
    <message>
        <source>Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 sein (zum Beispiel 1 für COM1).</source>
        <translation>The modem COM port must be a whole number from 1 to 255 (for example 1 for COM1).</translation>
    </message>
    <message>
        <source>Die Rufnummer des Service-Providers muss mindestens eine Ziffer enthalten.</source>
        <translation>The service provider number must contain at least one digit.</translation>
    </message>
    <message>
        <source>Der Initialisierungsbefehl für das Modem darf nicht leer sein (zum Beispiel ATDT).</source>
        <translation>The modem initialisation command must not be empty (for example ATDT).</translation>
    </message>
    <message>
        <source>Der Server darf nicht leer sein (Name oder IP-Adresse der SMS-Zentrale).</source>
        <translation>The server must not be empty (name or IP address of the SMS centre).</translation>
    </message>
    <message>
        <source>Der TCP-Port muss eine ganze Zahl von 1 bis 65535 sein.</source>
        <translation>The TCP port must be a whole number from 1 to 65535.</translation>
    </message>
    <message>
        <source>Die SIM-PIN besteht aus 4 bis 8 Ziffern (leer lassen, wenn die SIM-Karte keine PIN verlangt).</source>
        <translation>The SIM PIN consists of 4 to 8 digits (leave it empty when the SIM card asks for no PIN).</translation>
    </message>
    <message>
        <source>Die Nummer der SMS-Zentrale besteht aus höchstens 20 Ziffern, international mit + davor (leer lassen für die der SIM-Karte).</source>
        <translation>The SMS centre number consists of at most 20 digits, international ones with a leading + (leave it empty for the SIM card&apos;s).</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht gespeichert werden:
%1</source>
        <translation>The settings could not be saved:
%1</translation>
    </message>
    <message>
        <source>Test abbrechen</source>
        <translation>Cancel test</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht gespeichert werden:
%1

Fenster ohne Speichern schliessen?</source>
        <translation>The settings could not be saved:
%1

Close the window without saving?</translation>
    </message>
    <message>
        <source>Das Konto (OAdC) besteht aus höchstens 16 Ziffern (leer lassen, wenn die SMS-Zentrale keine Anmeldung verlangt).</source>
        <translation>The account (OAdC) consists of at most 16 digits (leave it empty if the SMS centre asks for no login).</translation>
    </message>
    <message>
        <source>Das Passwort darf höchstens %1 Zeichen lang sein.</source>
        <translation>The password may be at most %1 characters long.</translation>
    </message>
    <message>
        <source>Das Passwort darf das Zeichen «%1» nicht enthalten: bei der Anmeldung gehen nur Buchstaben ohne Umlaute, Ziffern, Leerzeichen und die Zeichen der englischen Tastatur.</source>
        <translation>The password must not contain the character “%1”: the login carries only letters without accents or umlauts, digits, blanks and the signs of an English keyboard.</translation>
    </message>
    <message>
        <source>Zustellbestätigung anfordern</source>
        <translation>Request delivery reports</translation>
    </message>
    <message>
        <source>Absender (optional):</source>
        <translation>Sender (optional):</translation>
    </message>
    <message>
        <source>das Konto</source>
        <translation>the account</translation>
    </message>
    <message>
        <source>Verbindung offen halten (für Antworten und Zustellberichte)</source>
        <translation>Keep the connection open (for replies and delivery reports)</translation>
    </message>
    <message>
        <source>Unbeantwortete Aufträge höchstens:</source>
        <translation>Unanswered requests at most:</translation>
    </message>
    <message>
        <source>Der Absender ist eine Rufnummer mit höchstens 16 Ziffern oder ein Name aus höchstens 11 Buchstaben und Ziffern ohne Umlaute (leer lassen für das Konto).</source>
        <translation>The sender is a phone number of up to 16 digits or a name of up to 11 letters and digits without umlauts (leave empty for the account).</translation>
    </message>
    <message>
        <source>Spool-Ordner:</source>
        <translation>Spool folder:</translation>
    </message>
    <message>
        <source>Spool-Ordner wählen</source>
        <translation>Choose spool folder</translation>
    </message>
    <message>
        <source>Leer: aus. Dateien im smstools3-Format werden in die Warteschlange gestellt.</source>
        <translation>Empty: off. Files in smstools3 format are put into the queue.</translation>
    </message>
    <message>
        <source>System-ID:</source>
        <translation>System ID:</translation>
    </message>
    <message>
        <source>System-Typ (optional):</source>
        <translation>System type (optional):</translation>
    </message>
    <message>
        <source>TLS verwenden</source>
        <translation>Use TLS</translation>
    </message>
    <message>
        <source>Gleichzeitige Nachrichten:</source>
        <translation>Messages at once:</translation>
    </message>
    <message>
        <source>Die System-ID für SMPP besteht aus 1 bis 15 Zeichen: Buchstaben ohne Umlaute, Ziffern und die Zeichen der englischen Tastatur.</source>
        <translation>The system ID for SMPP has 1 to 15 characters: letters without accents or umlauts, digits and the signs of an English keyboard.</translation>
    </message>
    <message>
        <source>Das Passwort darf bei SMPP höchstens 8 Zeichen lang sein.</source>
        <translation>For SMPP the password may be at most 8 characters long.</translation>
    </message>
    <message>
        <source>Der System-Typ besteht aus höchstens 12 Zeichen ohne Umlaute (leer lassen, wenn die SMS-Zentrale keinen verlangt).</source>
        <translation>The system type has at most 12 characters without accents or umlauts (leave it empty if the SMS centre asks for none).</translation>
    </message>
    <message>
        <source>SMPP (Internet)</source>
        <translation>SMPP (internet)</translation>
    </message>
</context>
<context>
    <name>FRMProtokoll</name>
    <message>
        <source>Anrufprotokoll</source>
        <translation>Call log</translation>
    </message>
    <message>
        <source>Protokoll der letzten Anrufe...</source>
        <translation>Log of the latest calls...</translation>
    </message>
    <message>
        <source>Anrufe, der neueste zuerst:</source>
        <translation>Calls, newest first:</translation>
    </message>
    <message>
        <source>Noch keine Anrufe.</source>
        <translation>No calls yet.</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FRMSelektion</name>
    <message>
        <source>Auswahl...</source>
        <translation>Selection...</translation>
    </message>
    <message>
        <source>Wählen Sie die Personen aus, denen Sie eine SMS senden möchten</source>
        <translation>Choose the people you want to send an SMS to</translation>
    </message>
    <message>
        <source>Serien-SMS starten</source>
        <translation>Start bulk SMS</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Exportieren…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Serien-SMS</source>
        <translation>Bulk SMS</translation>
    </message>
</context>
<context>
    <name>FRMSelektion1</name>
    <message>
        <source>Auswahl...</source>
        <translation>Selection...</translation>
    </message>
    <message>
        <source>Wählen Sie die Person aus, der Sie eine SMS senden möchten (Einträge ohne Mobilnummer sind nicht berücksichtigt!)</source>
        <translation>Choose the person you want to send an SMS to (entries without a mobile number are left out!)</translation>
    </message>
    <message>
        <source>Adressbuch</source>
        <translation>Address book</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FRMSperrliste</name>
    <message>
        <source>Sperrliste</source>
        <translation>Stop list</translation>
    </message>
    <message>
        <source>Nummern ohne weitere Nachrichten...</source>
        <translation>Numbers that get no more messages...</translation>
    </message>
    <message>
        <source>Gesperrte Nummern:</source>
        <translation>Blocked numbers:</translation>
    </message>
    <message>
        <source>Entfernen</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Hinzufügen…</source>
        <translation>Add…</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>seit %1</source>
        <translation>since %1</translation>
    </message>
    <message>
        <source>Bitte wählen Sie zuerst eine Nummer aus.</source>
        <translation>Please select a number first.</translation>
    </message>
    <message>
        <source>Soll %1 wieder Nachrichten erhalten?</source>
        <translation>Should %1 get messages again?</translation>
    </message>
    <message>
        <source>Mobilnummer, die keine Nachrichten mehr erhalten soll:</source>
        <translation>Mobile number that is to get no more messages:</translation>
    </message>
    <message>
        <source>von Hand</source>
        <translation>by hand</translation>
    </message>
    <message>
        <source>Die Sperrliste in %1 konnte nicht gelesen oder geändert werden:
%2</source>
        <translation>The stop list in %1 could not be read or changed:
%2</translation>
    </message>
</context>
<context>
    <name>FRMSuchen</name>
    <message>
        <source>Suche erfolglos...</source>
        <translation>Nothing found...</translation>
    </message>
    <message>
        <source>Wählen Sie eine Person aus:</source>
        <translation>Choose a person:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Funkbote</name>
    <message>
        <source>Funkbote - SMS-Versand-Programm...</source>
        <translation>Funkbote - SMS sending program...</translation>
    </message>
    <message>
        <source>Es sind noch Nachrichten in der Warteschlange. Wenn Sie jetzt beenden, gehen diese Nachrichten verloren. Wollen Sie beenden?</source>
        <translation>There are still messages in the queue. If you quit now, these messages are lost. Do you want to quit?</translation>
    </message>
    <message>
        <source>Achtung! Sie sind dabei den Versand aller Nachrichten anzuhalten. Wollen Sie das wirklich?</source>
        <translation>Attention! You are about to stop sending all messages. Do you really want to?</translation>
    </message>
    <message>
        <source>Information! Der Nachrichtenversand wurde wieder aktiviert.</source>
        <translation>Information! Sending messages has been switched on again.</translation>
    </message>
    <message>
        <source>Minimieren</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>An:</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>Mobilnummer:</source>
        <translation>Mobile number:</translation>
    </message>
    <message>
        <source>Mobilrückrufnummer:</source>
        <translation>Call-back number:</translation>
    </message>
    <message>
        <source>Nachricht:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>Anzahl Zeichen</source>
        <translation>Number of characters</translation>
    </message>
    <message>
        <source>SMS senden</source>
        <translation>Send SMS</translation>
    </message>
    <message>
        <source>Warteschlange:</source>
        <translation>Queue:</translation>
    </message>
    <message>
        <source>Warteschlange: Mobilnummern</source>
        <translation>Queue: mobile numbers</translation>
    </message>
    <message>
        <source>Warteschlange: Nachrichten</source>
        <translation>Queue: messages</translation>
    </message>
    <message>
        <source>Warteschlange: Rückrufnummern</source>
        <translation>Queue: call-back numbers</translation>
    </message>
    <message>
        <source>Warteschlange durchblättern</source>
        <translation>Scroll through the queue</translation>
    </message>
    <message>
        <source>Aus Warteschlange löschen</source>
        <translation>Delete from queue</translation>
    </message>
    <message>
        <source>Adressbuch</source>
        <translation>Address book</translation>
    </message>
    <message>
        <source>Versand-Archiv ansehen</source>
        <translation>View send archive</translation>
    </message>
    <message>
        <source>Serien-SMS versenden</source>
        <translation>Send bulk SMS</translation>
    </message>
    <message>
        <source>Versand stoppen</source>
        <translation>Stop sending</translation>
    </message>
    <message>
        <source>Die SMS konnte trotz mehrerer Versuche nicht versandt werden. Bitte überprüfen Sie die Einstellungen über die Schaltfläche &quot;SMS-Versand konfigurieren&quot;.</source>
        <translation>The SMS could not be sent in spite of several attempts. Please check the settings with the button &quot;Configure SMS sending&quot;.</translation>
    </message>
    <message>
        <source>Versand starten</source>
        <translation>Start sending</translation>
    </message>
    <message>
        <source>Die Datenbank meldet einen Fehler:
%1</source>
        <translation>The database reports an error:
%1</translation>
    </message>
    <message>
        <source>Der Versand wurde angehalten: %1.

Bitte prüfen Sie die Einstellungen (SIM-PIN, Konto und Passwort beim SMS-Center) und starten Sie den Versand danach wieder mit «Versand starten». Funkbote versucht es nicht von selbst noch einmal, damit die SIM-Karte oder das Konto nicht gesperrt wird.</source>
        <translation>Sending has been stopped: %1.

Please check the settings (SIM PIN, account and password at the message centre) and then start sending again with “Start sending”. Funkbote does not try again by itself, so that the SIM card or the account is not locked.</translation>
    </message>
    <message numerus="yes">
        <source>Mit STOP abgemeldet und darum ausgelassen: %n Empfänger.</source>
        <translation>
            <numerusform>Left out because they replied STOP: %n recipient.</numerusform>
            <numerusform>Left out because they replied STOP: %n recipients.</numerusform>
        </translation>
    </message>
    <message>
        <source>Eingang (%1)</source>
        <translation>Inbox (%1)</translation>
    </message>
    <message>
        <source>Eingang</source>
        <translation>Inbox</translation>
    </message>
</context>
<context>
    <name>FunkboteService</name>
    <message>
        <source>Der D-Bus des Benutzers ist nicht erreichbar: %1</source>
        <translation>The user&apos;s D-Bus cannot be reached: %1</translation>
    </message>
    <message>
        <source>Das Objekt %1 ist auf dem D-Bus schon vergeben.</source>
        <translation>The object %1 is already taken on the D-Bus.</translation>
    </message>
    <message>
        <source>Der Dienst %1 ist auf dem D-Bus schon vergeben (läuft Funkbote mit einem anderen Datenordner?).</source>
        <translation>The service %1 is already taken on the D-Bus (is Funkbote running with another data folder?).</translation>
    </message>
    <message>
        <source>Wird gesendet.</source>
        <translation>Being sent.</translation>
    </message>
    <message>
        <source>In der Warteschlange.</source>
        <translation>In the queue.</translation>
    </message>
    <message>
        <source>Daten.mdb kann nicht gelesen werden: %1</source>
        <translation>Daten.mdb cannot be read: %1</translation>
    </message>
</context>
<context>
    <name>Gsm::CmsError</name>
    <message>
        <source>Nummer nicht vergeben</source>
        <translation>number not assigned</translation>
    </message>
    <message>
        <source>Versand vom Netzbetreiber gesperrt</source>
        <translation>sending barred by the operator</translation>
    </message>
    <message>
        <source>Versand an diese Nummer gesperrt</source>
        <translation>sending to this number barred</translation>
    </message>
    <message>
        <source>Kurzmitteilung abgewiesen</source>
        <translation>short message rejected</translation>
    </message>
    <message>
        <source>Empfänger nicht erreichbar</source>
        <translation>recipient out of reach</translation>
    </message>
    <message>
        <source>Teilnehmer im Netz nicht bekannt</source>
        <translation>subscriber not known in the network</translation>
    </message>
    <message>
        <source>Dienst abgelehnt</source>
        <translation>facility rejected</translation>
    </message>
    <message>
        <source>Teilnehmer unbekannt</source>
        <translation>unknown subscriber</translation>
    </message>
    <message>
        <source>Netz ausser Betrieb</source>
        <translation>network out of order</translation>
    </message>
    <message>
        <source>vorübergehende Störung</source>
        <translation>temporary failure</translation>
    </message>
    <message>
        <source>Netz überlastet</source>
        <translation>network congested</translation>
    </message>
    <message>
        <source>Netz hat keine freien Mittel</source>
        <translation>network resources unavailable</translation>
    </message>
    <message>
        <source>Dienst nicht abonniert</source>
        <translation>facility not subscribed</translation>
    </message>
    <message>
        <source>Dienst nicht eingerichtet</source>
        <translation>facility not implemented</translation>
    </message>
    <message>
        <source>ungültige Referenznummer</source>
        <translation>invalid reference number</translation>
    </message>
    <message>
        <source>Nachricht fehlerhaft</source>
        <translation>invalid message</translation>
    </message>
    <message>
        <source>Pflichtangabe ungültig</source>
        <translation>invalid mandatory information</translation>
    </message>
    <message>
        <source>Nachrichtentyp unbekannt</source>
        <translation>message type unknown</translation>
    </message>
    <message>
        <source>Nachricht passt nicht zum Protokollzustand</source>
        <translation>message not compatible with the protocol state</translation>
    </message>
    <message>
        <source>Informationselement unbekannt</source>
        <translation>information element unknown</translation>
    </message>
    <message>
        <source>Protokollfehler</source>
        <translation>protocol error</translation>
    </message>
    <message>
        <source>Fehler beim Netzübergang</source>
        <translation>interworking error</translation>
    </message>
    <message>
        <source>Telematikdienst nicht unterstützt</source>
        <translation>telematic interworking not supported</translation>
    </message>
    <message>
        <source>Kurzmitteilung vom Typ 0 nicht unterstützt</source>
        <translation>short message type 0 not supported</translation>
    </message>
    <message>
        <source>Kurzmitteilung kann nicht ersetzt werden</source>
        <translation>short message cannot be replaced</translation>
    </message>
    <message>
        <source>Protokollkennung abgelehnt</source>
        <translation>protocol identifier rejected</translation>
    </message>
    <message>
        <source>Zeichensatz nicht unterstützt</source>
        <translation>character set not supported</translation>
    </message>
    <message>
        <source>Nachrichtenklasse nicht unterstützt</source>
        <translation>message class not supported</translation>
    </message>
    <message>
        <source>Zeichenkodierung abgelehnt</source>
        <translation>data coding rejected</translation>
    </message>
    <message>
        <source>Befehl nicht ausführbar</source>
        <translation>command cannot be carried out</translation>
    </message>
    <message>
        <source>Befehl nicht unterstützt</source>
        <translation>command not supported</translation>
    </message>
    <message>
        <source>Befehl abgelehnt</source>
        <translation>command rejected</translation>
    </message>
    <message>
        <source>Nachrichtenformat nicht unterstützt</source>
        <translation>message format not supported</translation>
    </message>
    <message>
        <source>Nachrichtenzentrale ausgelastet</source>
        <translation>message centre busy</translation>
    </message>
    <message>
        <source>kein Abonnement bei der Nachrichtenzentrale</source>
        <translation>no subscription with the message centre</translation>
    </message>
    <message>
        <source>Störung der Nachrichtenzentrale</source>
        <translation>message centre failure</translation>
    </message>
    <message>
        <source>ungültige Empfängernummer</source>
        <translation>invalid recipient number</translation>
    </message>
    <message>
        <source>Empfänger gesperrt</source>
        <translation>recipient barred</translation>
    </message>
    <message>
        <source>Nachricht bereits erhalten</source>
        <translation>message already received</translation>
    </message>
    <message>
        <source>Format der Gültigkeitsdauer nicht unterstützt</source>
        <translation>validity period format not supported</translation>
    </message>
    <message>
        <source>Gültigkeitsdauer nicht unterstützt</source>
        <translation>validity period not supported</translation>
    </message>
    <message>
        <source>SIM-Speicher voll</source>
        <translation>SIM memory full</translation>
    </message>
    <message>
        <source>kein SMS-Speicher auf der SIM-Karte</source>
        <translation>no SMS storage on the SIM card</translation>
    </message>
    <message>
        <source>Fehler im Modem</source>
        <translation>error in the modem</translation>
    </message>
    <message>
        <source>Speicher voll</source>
        <translation>memory full</translation>
    </message>
    <message>
        <source>SIM-Toolkit beschäftigt</source>
        <translation>SIM toolkit busy</translation>
    </message>
    <message>
        <source>Fehler beim Laden auf die SIM-Karte</source>
        <translation>error downloading to the SIM card</translation>
    </message>
    <message>
        <source>Fehler ohne Angabe der Ursache</source>
        <translation>error with no cause given</translation>
    </message>
    <message>
        <source>Modemfehler</source>
        <translation>Modem error</translation>
    </message>
    <message>
        <source>SMS-Dienst des Modems belegt</source>
        <translation>modem SMS service reserved</translation>
    </message>
    <message>
        <source>Vorgang nicht erlaubt</source>
        <translation>operation not allowed</translation>
    </message>
    <message>
        <source>Vorgang nicht unterstützt</source>
        <translation>operation not supported</translation>
    </message>
    <message>
        <source>ungültige Angabe im PDU-Modus</source>
        <translation>invalid PDU mode parameter</translation>
    </message>
    <message>
        <source>ungültige Angabe im Textmodus</source>
        <translation>invalid text mode parameter</translation>
    </message>
    <message>
        <source>keine SIM-Karte eingelegt</source>
        <translation>no SIM card inserted</translation>
    </message>
    <message>
        <source>SIM-PIN erforderlich</source>
        <translation>SIM PIN required</translation>
    </message>
    <message>
        <source>PH-SIM-PIN erforderlich</source>
        <translation>PH-SIM PIN required</translation>
    </message>
    <message>
        <source>SIM-Karte defekt</source>
        <translation>SIM card failure</translation>
    </message>
    <message>
        <source>SIM-Karte beschäftigt</source>
        <translation>SIM card busy</translation>
    </message>
    <message>
        <source>falsche SIM-Karte</source>
        <translation>wrong SIM card</translation>
    </message>
    <message>
        <source>SIM-PUK erforderlich</source>
        <translation>SIM PUK required</translation>
    </message>
    <message>
        <source>SIM-PIN2 erforderlich</source>
        <translation>SIM PIN2 required</translation>
    </message>
    <message>
        <source>SIM-PUK2 erforderlich</source>
        <translation>SIM PUK2 required</translation>
    </message>
    <message>
        <source>Speicherfehler</source>
        <translation>memory failure</translation>
    </message>
    <message>
        <source>ungültiger Speicherplatz</source>
        <translation>invalid memory index</translation>
    </message>
    <message>
        <source>Nummer der Nachrichtenzentrale unbekannt</source>
        <translation>message centre number unknown</translation>
    </message>
    <message>
        <source>kein Netz</source>
        <translation>no network</translation>
    </message>
    <message>
        <source>Zeitüberschreitung im Netz</source>
        <translation>network timeout</translation>
    </message>
    <message>
        <source>keine Bestätigung erwartet</source>
        <translation>no acknowledgement expected</translation>
    </message>
    <message>
        <source>unbekannter Fehler</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>Speicherkapazität überschritten</source>
        <translation>memory capacity exceeded</translation>
    </message>
</context>
<context>
    <name>Gsm::DeliveryStatus</name>
    <message>
        <source>zugestellt</source>
        <translation>delivered</translation>
    </message>
    <message>
        <source>an den Empfänger weitergeleitet, Zustellung unbestätigt</source>
        <translation>forwarded to the recipient, delivery unconfirmed</translation>
    </message>
    <message>
        <source>durch eine neuere Nachricht ersetzt</source>
        <translation>replaced by a newer message</translation>
    </message>
    <message>
        <source>Netz überlastet</source>
        <translation>network congested</translation>
    </message>
    <message>
        <source>Empfänger besetzt</source>
        <translation>recipient busy</translation>
    </message>
    <message>
        <source>Empfänger vorübergehend nicht erreichbar</source>
        <translation>recipient temporarily unreachable</translation>
    </message>
    <message>
        <source>Dienst abgelehnt</source>
        <translation>service rejected</translation>
    </message>
    <message>
        <source>Dienstqualität nicht verfügbar</source>
        <translation>quality of service not available</translation>
    </message>
    <message>
        <source>Fehler im Gerät des Empfängers</source>
        <translation>error in the recipient&apos;s phone</translation>
    </message>
    <message>
        <source>Protokollfehler beim Empfänger</source>
        <translation>protocol error at the recipient</translation>
    </message>
    <message>
        <source>Empfänger kann die Nachricht nicht annehmen</source>
        <translation>the recipient cannot accept the message</translation>
    </message>
    <message>
        <source>vom Empfänger abgewiesen</source>
        <translation>refused by the recipient</translation>
    </message>
    <message>
        <source>Empfänger unbekannt</source>
        <translation>recipient unknown</translation>
    </message>
    <message>
        <source>kein Übergang ins Netz des Empfängers</source>
        <translation>no interworking with the recipient&apos;s network</translation>
    </message>
    <message>
        <source>Gültigkeitsdauer abgelaufen</source>
        <translation>validity period expired</translation>
    </message>
    <message>
        <source>vom Absender gelöscht</source>
        <translation>deleted by the sender</translation>
    </message>
    <message>
        <source>von der Nachrichtenzentrale gelöscht</source>
        <translation>deleted by the message centre</translation>
    </message>
    <message>
        <source>in der Nachrichtenzentrale nicht bekannt</source>
        <translation>not known to the message centre</translation>
    </message>
    <message>
        <source>unbekannter Status (Code %1)</source>
        <translation>unknown status (code %1)</translation>
    </message>
    <message>
        <source>abgeschlossen (Code %1)</source>
        <translation>completed (code %1)</translation>
    </message>
    <message>
        <source>noch nicht zugestellt, weitere Versuche folgen (Code %1)</source>
        <translation>not delivered yet, more attempts follow (code %1)</translation>
    </message>
    <message>
        <source>nicht zustellbar (Code %1)</source>
        <translation>cannot be delivered (code %1)</translation>
    </message>
    <message>
        <source>nicht zugestellt, keine weiteren Versuche (Code %1)</source>
        <translation>not delivered, no more attempts (code %1)</translation>
    </message>
</context>
<context>
    <name>Gsm::ReceivedPdu</name>
    <message>
        <source>Die PDU ist kein Hex-Text.</source>
        <translation>The PDU is not hex text.</translation>
    </message>
    <message>
        <source>Die PDU bricht vor ihrem Ende ab.</source>
        <translation>The PDU breaks off before its end.</translation>
    </message>
    <message>
        <source>Die PDU ist länger als ihre Längenangaben.</source>
        <translation>The PDU is longer than its lengths state.</translation>
    </message>
    <message>
        <source>Die PDU ist keine empfangene SMS.</source>
        <translation>The PDU is not a received SMS.</translation>
    </message>
    <message>
        <source>Die PDU ist kein Zustellbericht.</source>
        <translation>The PDU is not a status report.</translation>
    </message>
    <message>
        <source>Eine Adresse in der PDU ist zu lang.</source>
        <translation>An address in the PDU is too long.</translation>
    </message>
    <message>
        <source>Die Textlänge in der PDU ist ungültig.</source>
        <translation>The text length in the PDU is invalid.</translation>
    </message>
    <message>
        <source>Der Kopf der Nutzdaten in der PDU ist ungültig.</source>
        <translation>The user data header in the PDU is invalid.</translation>
    </message>
</context>
<context>
    <name>GsmDialogue</name>
    <message>
        <source>Leitung unterbrochen</source>
        <translation>Line interrupted</translation>
    </message>
    <message>
        <source>Vorgang nicht erlaubt</source>
        <translation>operation not allowed</translation>
    </message>
    <message>
        <source>Vorgang nicht unterstützt</source>
        <translation>operation not supported</translation>
    </message>
    <message>
        <source>keine SIM-Karte eingelegt</source>
        <translation>no SIM card inserted</translation>
    </message>
    <message>
        <source>SIM-PIN erforderlich</source>
        <translation>SIM PIN required</translation>
    </message>
    <message>
        <source>SIM-PUK erforderlich</source>
        <translation>SIM PUK required</translation>
    </message>
    <message>
        <source>SIM-Karte defekt</source>
        <translation>SIM card failure</translation>
    </message>
    <message>
        <source>SIM-Karte beschäftigt</source>
        <translation>SIM card busy</translation>
    </message>
    <message>
        <source>falsche SIM-Karte</source>
        <translation>wrong SIM card</translation>
    </message>
    <message>
        <source>falsche PIN</source>
        <translation>wrong PIN</translation>
    </message>
    <message>
        <source>SIM-PIN2 erforderlich</source>
        <translation>SIM PIN2 required</translation>
    </message>
    <message>
        <source>SIM-PUK2 erforderlich</source>
        <translation>SIM PUK2 required</translation>
    </message>
    <message>
        <source>kein Netz</source>
        <translation>no network</translation>
    </message>
    <message>
        <source>Zeitüberschreitung im Netz</source>
        <translation>network timeout</translation>
    </message>
    <message>
        <source>unbekannter Fehler</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen</source>
        <translation>The SIM card PIN must consist of 4 to 8 digits</translation>
    </message>
    <message>
        <source>Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern</source>
        <translation>The message centre number has more than 20 digits</translation>
    </message>
    <message>
        <source>Modem lehnt ATE0 ab (%1)</source>
        <translation>Modem refuses ATE0 (%1)</translation>
    </message>
    <message>
        <source>SIM-Karte nicht bereit (%1)</source>
        <translation>SIM card not ready (%1)</translation>
    </message>
    <message>
        <source>SIM-Karte lehnt die PIN ab (%1)</source>
        <translation>SIM card refuses the PIN (%1)</translation>
    </message>
    <message>
        <source>Modem kann keine SMS im PDU-Modus senden (%1)</source>
        <translation>Modem cannot send SMS in PDU mode (%1)</translation>
    </message>
    <message>
        <source>SIM-Karte verlangt eine PIN, aber keine ist konfiguriert</source>
        <translation>SIM card asks for a PIN, but none is configured</translation>
    </message>
    <message>
        <source>SIM-Karte gesperrt: PUK erforderlich</source>
        <translation>SIM card locked: PUK required</translation>
    </message>
    <message>
        <source>SIM-Karte nicht bereit (+CPIN: %1)</source>
        <translation>SIM card not ready (+CPIN: %1)</translation>
    </message>
    <message>
        <source>SMS nicht versandt (%1)</source>
        <translation>SMS not sent (%1)</translation>
    </message>
    <message>
        <source>Keine Antwort des Modems auf die PIN</source>
        <translation>No answer from the modem to the PIN</translation>
    </message>
    <message>
        <source>Keine Antwort des Modems auf die SMS</source>
        <translation>No answer from the modem to the SMS</translation>
    </message>
    <message>
        <source>Keine Antwort des Modems auf %1</source>
        <translation>No answer from the modem to %1</translation>
    </message>
    <message>
        <source>Diese PIN hat die SIM-Karte nicht angenommen; sie wird nicht noch einmal gesendet</source>
        <translation>The SIM card did not accept this PIN; it will not be sent again</translation>
    </message>
    <message>
        <source>Verbindung zum Modem wird in %1 s neu aufgebaut</source>
        <translation>Reconnecting to the modem in %1 s</translation>
    </message>
</context>
<context>
    <name>GsmReceiver</name>
    <message>
        <source>Statusbericht nicht lesbar: %1</source>
        <translation>Status report unreadable: %1</translation>
    </message>
    <message>
        <source>Statusbericht nicht gespeichert</source>
        <translation>Status report not saved</translation>
    </message>
    <message>
        <source>Modem meldet keine eingehenden SMS (AT+CNMI=?: %1)</source>
        <translation>The modem does not report incoming SMS (AT+CNMI=?: %1)</translation>
    </message>
    <message>
        <source>Modem meldet keine eingehenden SMS (AT+CNMI: %1)</source>
        <translation>The modem does not report incoming SMS (AT+CNMI: %1)</translation>
    </message>
    <message>
        <source>Gespeicherte SMS %1 nicht lesbar: %2</source>
        <translation>Stored SMS %1 unreadable: %2</translation>
    </message>
    <message>
        <source>SMS von %1 nicht gespeichert; sie bleibt im Modem</source>
        <translation>SMS from %1 not saved; it stays in the modem</translation>
    </message>
</context>
<context>
    <name>HeadlessRun</name>
    <message>
        <source>Versand angehalten: %1 Weiter erst nach &quot;funkbote start&quot;.</source>
        <translation>Sending halted: %1 It goes on only after &quot;funkbote start&quot;.</translation>
    </message>
    <message>
        <source>Die SMS konnte trotz %1 Versuchen nicht versandt werden. Bitte überprüfen Sie die Einstellungen.</source>
        <translation>The SMS could not be sent despite %1 attempts. Please check the settings.</translation>
    </message>
    <message>
        <source>Nachricht %1 versandt: %2</source>
        <translation>Message %1 sent: %2</translation>
    </message>
    <message>
        <source>Die Datenbank meldet einen Fehler: %1</source>
        <translation>The database reports an error: %1</translation>
    </message>
    <message>
        <source>Spool-Ordner: %1 in die Warteschlange gestellt.</source>
        <translation>Spool folder: %1 put into the queue.</translation>
    </message>
    <message>
        <source>Spool-Ordner: %1 nach &quot;fehlerhaft&quot; verschoben: %2</source>
        <translation>Spool folder: %1 moved to &quot;fehlerhaft&quot;: %2</translation>
    </message>
    <message>
        <source>Nachricht von %1 empfangen.</source>
        <translation>Message from %1 received.</translation>
    </message>
    <message>
        <source>Wird beendet, sobald die Zentrale die gesendeten Nachrichten bestätigt hat...</source>
        <translation>Ending as soon as the message centre has confirmed the messages sent...</translation>
    </message>
    <message>
        <source>Beendet; die Warteschlange bleibt für den nächsten Start gespeichert.</source>
        <translation>Ended; the queue stays stored for the next start.</translation>
    </message>
    <message>
        <source>Ohne Fenster gestartet, Daten in %1.</source>
        <translation>Started without a window, data in %1.</translation>
    </message>
</context>
<context>
    <name>ImportFlow</name>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Die Datei «%1» wird gelesen …</source>
        <translation>Reading the file “%1” …</translation>
    </message>
    <message>
        <source>Die Vorschau wird vorbereitet …</source>
        <translation>Preparing the preview …</translation>
    </message>
</context>
<context>
    <name>ImportMappingDialog</name>
    <message>
        <source>Spalten zuordnen...</source>
        <translation>Assign columns...</translation>
    </message>
    <message>
        <source>Semikolon (;)</source>
        <translation>Semicolon (;)</translation>
    </message>
    <message>
        <source>Komma (,)</source>
        <translation>Comma (,)</translation>
    </message>
    <message>
        <source>Tabulator</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>Die Datei «%1» hat %2 Zeilen. Wählen Sie für jede Spalte, welches Feld des Adressbuchs sie füllt.</source>
        <translation>The file “%1” has %2 lines. Choose for each column which field of the address book it fills.</translation>
    </message>
    <message>
        <source>&amp;Trennzeichen:</source>
        <translation>&amp;Separator:</translation>
    </message>
    <message>
        <source>&amp;Zeichensatz:</source>
        <translation>&amp;Character set:</translation>
    </message>
    <message>
        <source>Spalten der Datei:</source>
        <translation>Columns of the file:</translation>
    </message>
    <message>
        <source>Weiter</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Spalte %1</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <source>(z.B. %1)</source>
        <translation>(e.g. %1)</translation>
    </message>
    <message>
        <source>Mit dieser Zuordnung enthält die Datei keine Person. Ordnen Sie mindestens eine Spalte einem Feld zu.</source>
        <translation>With these assignments the file contains no person. Assign at least one column to a field.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>PLZ / Ort</source>
        <translation>Postcode / town</translation>
    </message>
    <message>
        <source>Mobilnummer</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>Bemerkungen</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>%1 in der Datei. Die erste: %2</source>
        <translation>%1 in the file. The first: %2</translation>
    </message>
</context>
<context>
    <name>ImportPreviewDialog</name>
    <message>
        <source>Vorschau...</source>
        <translation>Preview...</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Mobilnummer</source>
        <translation>Mobile number</translation>
    </message>
    <message>
        <source>Übernahme</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>Hinweis</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>neu</source>
        <translation>new</translation>
    </message>
    <message>
        <source>schon im Adressbuch</source>
        <translation>already in the address book</translation>
    </message>
    <message>
        <source>schon im Adressbuch: %1</source>
        <translation>already in the address book: %1</translation>
    </message>
    <message>
        <source>doppelt (wie Zeile %1)</source>
        <translation>repeated (as line %1)</translation>
    </message>
    <message>
        <source>ohne verwendbare Nummer</source>
        <translation>no usable number</translation>
    </message>
    <message>
        <source>keine gültige Mobilnummer</source>
        <translation>not a valid mobile number</translation>
    </message>
    <message>
        <source>so nicht versendbar</source>
        <translation>cannot be sent to as it stands</translation>
    </message>
    <message>
        <source>Die Datei «%1» enthält %2.</source>
        <translation>The file “%1” contains %2.</translation>
    </message>
    <message>
        <source>Neu: %1</source>
        <translation>New: %1</translation>
    </message>
    <message>
        <source>Schon im Adressbuch (gleiche Nummer): %1</source>
        <translation>Already in the address book (same number): %1</translation>
    </message>
    <message>
        <source>Mehrfach in der Datei (gleiche Nummer): %1</source>
        <translation>More than once in the file (same number): %1</translation>
    </message>
    <message>
        <source>Ohne verwendbare Nummer: %1</source>
        <translation>Without a usable number: %1</translation>
    </message>
    <message>
        <source>Keine gültige Mobilnummer (wird so übernommen): %1</source>
        <translation>Not a valid mobile number (imported as it stands): %1</translation>
    </message>
    <message>
        <source>&amp;Personen in der Datei:</source>
        <translation>&amp;People in the file:</translation>
    </message>
    <message>
        <source>&amp;Hinweise beim Lesen:</source>
        <translation>&amp;Notes from reading:</translation>
    </message>
    <message>
        <source>Übereinstimmende &amp;überspringen</source>
        <translation>&amp;Skip matching ones</translation>
    </message>
    <message>
        <source>Übereinstimmende &amp;aktualisieren (gefüllte Felder der Datei ersetzen die gespeicherten)</source>
        <translation>&amp;Update matching ones (filled fields of the file replace the stored ones)</translation>
    </message>
    <message>
        <source>Personen &amp;ohne verwendbare Nummer auch übernehmen</source>
        <translation>Also import people &amp;without a usable number</translation>
    </message>
    <message>
        <source>Importieren</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>… und %1 weitere</source>
        <translation>… and %1 more</translation>
    </message>
</context>
<context>
    <name>ImportSession</name>
    <message>
        <source>Die Datei «%1» konnte nicht geöffnet werden: %2</source>
        <translation>The file “%1” could not be opened: %2</translation>
    </message>
    <message>
        <source>Die Datei «%1» ist mit %2 MB zu gross für ein Adressbuch; es werden höchstens %3 MB gelesen.</source>
        <translation>At %2 MB the file “%1” is too large for an address book; at most %3 MB are read.</translation>
    </message>
    <message>
        <source>Die Datei «%1» konnte nicht gelesen werden: %2</source>
        <translation>The file “%1” could not be read: %2</translation>
    </message>
    <message>
        <source>Die Datei «%1» enthält keinen Text (zu viele Steuerzeichen) und kann nicht importiert werden. Bitte wählen Sie eine vCard- oder CSV-Datei.</source>
        <translation>The file “%1” holds no text (too many control characters) and cannot be imported. Please choose a vCard or CSV file.</translation>
    </message>
</context>
<context>
    <name>Inbound</name>
    <message>
        <source>Empfangene Nachrichten und Zustellberichte können nicht gespeichert werden:
%1</source>
        <translation>Received messages and delivery reports cannot be stored:
%1</translation>
    </message>
</context>
<context>
    <name>InboxLine</name>
    <message>
        <source>unvollständig</source>
        <translation>incomplete</translation>
    </message>
    <message>
        <source>STOP: gesperrt</source>
        <translation>STOP: blocked</translation>
    </message>
    <message>
        <source>gelesen</source>
        <translation>read</translation>
    </message>
    <message>
        <source>ungelesen</source>
        <translation>unread</translation>
    </message>
</context>
<context>
    <name>LentLine</name>
    <message>
        <source>Die Schnittstelle wird von einer anderen Verbindung benutzt</source>
        <translation>The port is in use by another connection</translation>
    </message>
</context>
<context>
    <name>LoggedRefusal</name>
    <message>
        <source>Die Natel-Nummer enthält keine Ziffern.</source>
        <translation>The mobile number contains no digits.</translation>
    </message>
    <message>
        <source>Die Natel-Nummer hat mehr als 20 Ziffern.</source>
        <translation>The mobile number has more than 20 digits.</translation>
    </message>
    <message>
        <source>Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern.</source>
        <translation>The message centre number has more than 20 digits.</translation>
    </message>
    <message>
        <source>Die Nachricht ist zu lang: sie bräuchte mehr als 255 SMS.</source>
        <translation>The message is too long: it would need more than 255 SMS.</translation>
    </message>
    <message>
        <source>Die Natel-Nummer enthält nach der Vorwahl 00 keine Ziffern.</source>
        <translation>The mobile number has no digits after the prefix 00.</translation>
    </message>
</context>
<context>
    <name>MergeFields</name>
    <message>
        <source>die Person mit der Natel-Nummer %1</source>
        <translation>the person with the mobile number %1</translation>
    </message>
    <message>
        <source>eine Person ohne Namen und Nummer</source>
        <translation>a person without name and number</translation>
    </message>
    <message>
        <source>Die Nachricht für %1 ist mit den eingesetzten Feldern %2 Zeichen lang; höchstens %3 Zeichen sind möglich. Bitte kürzen Sie die Nachricht.</source>
        <translation>With its fields filled in, the message for %1 is %2 characters long; at most %3 characters are possible. Please shorten the message.</translation>
    </message>
</context>
<context>
    <name>MessageFieldCheck</name>
    <message>
        <source>Wird als %1 SMS versandt.</source>
        <translation>Will be sent as %1 SMS.</translation>
    </message>
    <message>
        <source>%1 und %2 weitere</source>
        <translation>%1 and %2 more</translation>
    </message>
    <message>
        <source>Nicht übertragbar (wird weggelassen): %1</source>
        <translation>Cannot be sent (left out): %1</translation>
    </message>
    <message>
        <source>Zu lang für ein GSM-Modem (höchstens %1 SMS).</source>
        <translation>Too long for a GSM modem (at most %1 SMS).</translation>
    </message>
    <message>
        <source>Wird als %1 SMS versandt (Unicode).</source>
        <translation>Will be sent as %1 SMS (Unicode).</translation>
    </message>
</context>
<context>
    <name>MessageRecords</name>
    <message>
        <source>Keine Nachricht mit der Nummer %1.</source>
        <translation>No message with the number %1.</translation>
    </message>
    <message>
        <source>Wird gesendet.</source>
        <translation>Being sent.</translation>
    </message>
    <message>
        <source>In der Warteschlange.</source>
        <translation>In the queue.</translation>
    </message>
    <message>
        <source>Der Eintrag im Archiv ist nicht mehr vorhanden.</source>
        <translation>The entry in the archive is no longer there.</translation>
    </message>
    <message>
        <source>Versandstatus unbekannt: Das Programm endete, nachdem die Nachricht abgeschickt war und bevor ihr Versand im Archiv stand.</source>
        <translation>Send status unknown: the program ended after the message had gone out and before it was in the archive.</translation>
    </message>
    <message>
        <source>Abgelehnt am %1: %2</source>
        <translation>Refused on %1: %2</translation>
    </message>
    <message>
        <source>Versandt am %1.</source>
        <translation>Sent on %1.</translation>
    </message>
    <message>
        <source>Zugestellt am %1.</source>
        <translation>Delivered on %1.</translation>
    </message>
    <message>
        <source>Nicht zugestellt: %1</source>
        <translation>Not delivered: %1</translation>
    </message>
    <message>
        <source>Versandt am %1, Zustellung ausstehend.</source>
        <translation>Sent on %1, delivery pending.</translation>
    </message>
    <message>
        <source>Versandt am %1, Zustellung ausstehend: %2</source>
        <translation>Sent on %1, delivery pending: %2</translation>
    </message>
</context>
<context>
    <name>PendingMessages</name>
    <message>
        <source>In der Tabelle &quot;%1&quot; fehlt das Feld &quot;%2&quot;.</source>
        <translation>The table &quot;%1&quot; lacks the field &quot;%2&quot;.</translation>
    </message>
</context>
<context>
    <name>PersonListDialog</name>
    <message>
        <source>Selektion</source>
        <translation>Selection</translation>
    </message>
</context>
<context>
    <name>PortChoice</name>
    <message>
        <source>eingebaut (/dev/ttyS%1)</source>
        <translation>built-in (/dev/ttyS%1)</translation>
    </message>
    <message>
        <source>eingebaut</source>
        <translation>built-in</translation>
    </message>
    <message>
        <source> (nicht vorhanden)</source>
        <translation> (not present)</translation>
    </message>
    <message>
        <source>%1 ist keine Verknüpfung und wird nicht ersetzt.</source>
        <translation>%1 is not a link and is not replaced.</translation>
    </message>
    <message>
        <source>Die Verknüpfung %1 kann nicht entfernt werden.</source>
        <translation>The link %1 cannot be removed.</translation>
    </message>
    <message>
        <source>Die Verknüpfung %1 auf %2 kann nicht angelegt werden.</source>
        <translation>The link %1 to %2 cannot be created.</translation>
    </message>
</context>
<context>
    <name>ProgramDoor</name>
    <message>
        <source>Die Nachricht ist leer.</source>
        <translation>The message is empty.</translation>
    </message>
    <message>
        <source>Bitte korrigieren Sie die Rückrufnummer im Fenster.</source>
        <translation>Please correct the call-back number in the window.</translation>
    </message>
    <message>
        <source>%1 hat den Empfang abgelehnt (STOP am %2).</source>
        <translation>%1 has refused to receive messages (STOP on %2).</translation>
    </message>
    <message>
        <source>Die Nachricht ist zu lang: %1</source>
        <translation>The message is too long: %1</translation>
    </message>
</context>
<context>
    <name>ProgramIntake</name>
    <message>
        <source>Die Nachricht kann nicht in Daten.mdb gespeichert werden und ist nicht in der Warteschlange: %1</source>
        <translation>The message cannot be stored in Daten.mdb and is not in the queue: %1</translation>
    </message>
</context>
<context>
    <name>QtSerialLine</name>
    <message>
        <source>kein Fehler</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>Schnittstelle nicht vorhanden</source>
        <translation>serial port not present</translation>
    </message>
    <message>
        <source>Zugriff verweigert oder von einem anderen Programm belegt</source>
        <translation>access denied or in use by another program</translation>
    </message>
    <message>
        <source>Schnittstelle ist bereits geöffnet</source>
        <translation>serial port is already open</translation>
    </message>
    <message>
        <source>Fehler beim Senden an die Schnittstelle</source>
        <translation>error writing to the serial port</translation>
    </message>
    <message>
        <source>Fehler beim Lesen von der Schnittstelle</source>
        <translation>error reading from the serial port</translation>
    </message>
    <message>
        <source>Schnittstelle nicht mehr verfügbar (Gerät entfernt?)</source>
        <translation>serial port no longer available (device removed?)</translation>
    </message>
    <message>
        <source>Vorgang wird von der Schnittstelle nicht unterstützt</source>
        <translation>operation not supported by the serial port</translation>
    </message>
    <message>
        <source>Zeitüberschreitung an der Schnittstelle</source>
        <translation>timeout on the serial port</translation>
    </message>
    <message>
        <source>Schnittstelle ist nicht geöffnet</source>
        <translation>serial port is not open</translation>
    </message>
    <message>
        <source>unbekannter Fehler der Schnittstelle</source>
        <translation>unknown serial port error</translation>
    </message>
</context>
<context>
    <name>QueueNumber</name>
    <message>
        <source>%1 enthält keine Ziffer.</source>
        <translation>%1 contains no digit.</translation>
    </message>
    <message>
        <source>%1 %2 enthält das Zeichen &quot;%3&quot;. Eine Nummer besteht aus Ziffern, Leerzeichen und den Trennzeichen - / . ( ); ein &quot;+&quot; ist nur am Anfang erlaubt.</source>
        <translation>%1 %2 contains the character &quot;%3&quot;. A number consists of digits, spaces and the separators - / . ( ); a &quot;+&quot; is allowed only at the start.</translation>
    </message>
    <message>
        <source>%1 %2 hat %3 Ziffern. Eine Nummer hat höchstens %4 Ziffern, ein &quot;+&quot; oder &quot;00&quot; am Anfang nicht mitgezählt; sie wird nicht gekürzt.</source>
        <translation>%1 %2 has %3 digits. A number has at most %4 digits, not counting a &quot;+&quot; or &quot;00&quot; at the start; it is not shortened.</translation>
    </message>
</context>
<context>
    <name>QueuePanel</name>
    <message>
        <source>%1 hat den Empfang abgelehnt (STOP am %2). Trotzdem senden?</source>
        <translation>%1 declined to receive messages (STOP on %2). Send anyway?</translation>
    </message>
</context>
<context>
    <name>QueueText</name>
    <message>
        <source>Sie müssen mindesten die Natel-Nummer und eine Nachricht eingetragen haben!</source>
        <translation>You must enter at least the mobile number and a message!</translation>
    </message>
    <message>
        <source>Das &apos;Enter&apos;- Zeichen wird nicht akzeptiert!</source>
        <translation>The &apos;Enter&apos; character is not accepted!</translation>
    </message>
    <message>
        <source>Die Mobilnummer</source>
        <translation>The mobile number</translation>
    </message>
    <message>
        <source>Die Rückrufnummer</source>
        <translation>The call-back number</translation>
    </message>
    <message>
        <source>Wollen Sie diesen Eintrag wirklich aus der Warteschlange löschen?</source>
        <translation>Do you really want to delete this entry from the queue?</translation>
    </message>
    <message>
        <source>Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!</source>
        <translation>No letters may be used in this field!</translation>
    </message>
</context>
<context>
    <name>RecordNavigator</name>
    <message>
        <source>Erster Datensatz</source>
        <translation>First record</translation>
    </message>
    <message>
        <source>Vorheriger Datensatz</source>
        <translation>Previous record</translation>
    </message>
    <message>
        <source>Nächster Datensatz</source>
        <translation>Next record</translation>
    </message>
    <message>
        <source>Letzter Datensatz</source>
        <translation>Last record</translation>
    </message>
</context>
<context>
    <name>RecordingLine</name>
    <message>
        <source>Fehler der Leitung: %1</source>
        <translation>Line error: %1</translation>
    </message>
    <message>
        <source>Leitung unterbrochen</source>
        <translation>Line interrupted</translation>
    </message>
    <message>
        <source>Trägersignal (DCD) an</source>
        <translation>Carrier (DCD) on</translation>
    </message>
    <message>
        <source>Trägersignal (DCD) aus</source>
        <translation>Carrier (DCD) off</translation>
    </message>
    <message>
        <source>Port %1 geöffnet</source>
        <translation>Port %1 opened</translation>
    </message>
    <message>
        <source>Port %1 nicht geöffnet: %2</source>
        <translation>Port %1 not opened: %2</translation>
    </message>
    <message>
        <source>Port geschlossen</source>
        <translation>Port closed</translation>
    </message>
</context>
<context>
    <name>SendEngine</name>
    <message>
        <source>Keine Verbindung innerhalb von 40 s</source>
        <translation>No connection within 40 s</translation>
    </message>
    <message>
        <source>Verbindung getrennt</source>
        <translation>Connection closed</translation>
    </message>
    <message>
        <source>Während eines Anrufs kann die Verbindung nicht getestet werden.</source>
        <translation>The connection cannot be tested during a call.</translation>
    </message>
    <message>
        <source>Test abgebrochen</source>
        <translation>Test cancelled</translation>
    </message>
    <message>
        <source>Anmeldung bei der Zentrale...</source>
        <translation>Logging in to the message centre...</translation>
    </message>
    <message>
        <source>Verbindung steht: bereit zum Senden. Verbindung beendet, keine SMS gesendet.</source>
        <translation>Connection established: ready to send. Connection ended, no SMS sent.</translation>
    </message>
</context>
<context>
    <name>Smpp::Receipt</name>
    <message>
        <source>unterwegs</source>
        <translation>en route</translation>
    </message>
    <message>
        <source>zugestellt</source>
        <translation>delivered</translation>
    </message>
    <message>
        <source>Gültigkeitsdauer abgelaufen</source>
        <translation>validity period expired</translation>
    </message>
    <message>
        <source>vom SMS-Center gelöscht</source>
        <translation>deleted by the SMS centre</translation>
    </message>
    <message>
        <source>nicht zustellbar</source>
        <translation>undeliverable</translation>
    </message>
    <message>
        <source>vom SMS-Center angenommen</source>
        <translation>accepted by the SMS centre</translation>
    </message>
    <message>
        <source>Zustand unbekannt</source>
        <translation>state unknown</translation>
    </message>
    <message>
        <source>abgewiesen</source>
        <translation>rejected</translation>
    </message>
    <message>
        <source>Zustand %1</source>
        <translation>state %1</translation>
    </message>
    <message>
        <source>%1 (Fehler %2)</source>
        <translation>%1 (error %2)</translation>
    </message>
</context>
<context>
    <name>Smpp::Status</name>
    <message>
        <source>kein Fehler</source>
        <translation>no error</translation>
    </message>
    <message>
        <source>Ungültige Nachrichtenlänge</source>
        <translation>Invalid message length</translation>
    </message>
    <message>
        <source>Ungültige Befehlslänge</source>
        <translation>Invalid command length</translation>
    </message>
    <message>
        <source>Unbekannter Befehl</source>
        <translation>Unknown command</translation>
    </message>
    <message>
        <source>Befehl im Verbindungszustand nicht erlaubt</source>
        <translation>Command not allowed in the bind state</translation>
    </message>
    <message>
        <source>Bereits angemeldet</source>
        <translation>Already bound</translation>
    </message>
    <message>
        <source>Ungültige Priorität</source>
        <translation>Invalid priority</translation>
    </message>
    <message>
        <source>Ungültige Anforderung der Zustellbestätigung</source>
        <translation>Invalid delivery receipt request</translation>
    </message>
    <message>
        <source>Systemfehler des SMS-Centers</source>
        <translation>System error of the SMS centre</translation>
    </message>
    <message>
        <source>Ungültige Absenderadresse</source>
        <translation>Invalid sender address</translation>
    </message>
    <message>
        <source>Ungültige Empfängeradresse</source>
        <translation>Invalid recipient address</translation>
    </message>
    <message>
        <source>Ungültige Nachrichten-ID</source>
        <translation>Invalid message ID</translation>
    </message>
    <message>
        <source>Anmeldung fehlgeschlagen</source>
        <translation>Bind failed</translation>
    </message>
    <message>
        <source>Falsches Passwort</source>
        <translation>Wrong password</translation>
    </message>
    <message>
        <source>Unbekannte System-ID</source>
        <translation>Unknown system ID</translation>
    </message>
    <message>
        <source>Löschen der Nachricht fehlgeschlagen</source>
        <translation>Cancelling the message failed</translation>
    </message>
    <message>
        <source>Ersetzen der Nachricht fehlgeschlagen</source>
        <translation>Replacing the message failed</translation>
    </message>
    <message>
        <source>Warteschlange des SMS-Centers voll</source>
        <translation>Queue of the SMS centre full</translation>
    </message>
    <message>
        <source>Ungültiger Diensttyp</source>
        <translation>Invalid service type</translation>
    </message>
    <message>
        <source>Ungültige Anzahl Empfänger</source>
        <translation>Invalid number of recipients</translation>
    </message>
    <message>
        <source>Ungültiger Name der Verteilerliste</source>
        <translation>Invalid distribution list name</translation>
    </message>
    <message>
        <source>Ungültige Art des Empfängers</source>
        <translation>Invalid kind of recipient</translation>
    </message>
    <message>
        <source>Ersetzen beim Senden nicht möglich</source>
        <translation>Replacing on submission not possible</translation>
    </message>
    <message>
        <source>Ungültige Nachrichtenart (esm_class)</source>
        <translation>Invalid message type (esm_class)</translation>
    </message>
    <message>
        <source>Senden an eine Verteilerliste nicht möglich</source>
        <translation>Sending to a distribution list not possible</translation>
    </message>
    <message>
        <source>Übermittlung fehlgeschlagen</source>
        <translation>Submission failed</translation>
    </message>
    <message>
        <source>Ungültiger Typ der Absenderadresse (TON)</source>
        <translation>Invalid type of sender address (TON)</translation>
    </message>
    <message>
        <source>Ungültiger Nummernplan der Absenderadresse (NPI)</source>
        <translation>Invalid numbering plan of sender address (NPI)</translation>
    </message>
    <message>
        <source>Ungültiger Typ der Empfängeradresse (TON)</source>
        <translation>Invalid type of recipient address (TON)</translation>
    </message>
    <message>
        <source>Ungültiger Nummernplan der Empfängeradresse (NPI)</source>
        <translation>Invalid numbering plan of recipient address (NPI)</translation>
    </message>
    <message>
        <source>Ungültiger System-Typ</source>
        <translation>Invalid system type</translation>
    </message>
    <message>
        <source>Ungültige Ersetzungsangabe</source>
        <translation>Invalid replace flag</translation>
    </message>
    <message>
        <source>Ungültige Anzahl Nachrichten</source>
        <translation>Invalid number of messages</translation>
    </message>
    <message>
        <source>Zu viele Nachrichten: das SMS-Center bremst</source>
        <translation>Too many messages: the SMS centre throttles</translation>
    </message>
    <message>
        <source>Ungültiger Zeitpunkt der Zustellung</source>
        <translation>Invalid scheduled delivery time</translation>
    </message>
    <message>
        <source>Ungültige Gültigkeitsdauer</source>
        <translation>Invalid validity period</translation>
    </message>
    <message>
        <source>Vordefinierte Nachricht unbekannt</source>
        <translation>Predefined message unknown</translation>
    </message>
    <message>
        <source>Vorübergehender Fehler beim Empfänger</source>
        <translation>Temporary error at the recipient</translation>
    </message>
    <message>
        <source>Dauerhafter Fehler beim Empfänger</source>
        <translation>Permanent error at the recipient</translation>
    </message>
    <message>
        <source>Nachricht vom Empfänger abgewiesen</source>
        <translation>Message rejected by the recipient</translation>
    </message>
    <message>
        <source>Abfrage der Nachricht fehlgeschlagen</source>
        <translation>Querying the message failed</translation>
    </message>
    <message>
        <source>Fehler in den optionalen Parametern</source>
        <translation>Error in the optional parameters</translation>
    </message>
    <message>
        <source>Optionaler Parameter nicht erlaubt</source>
        <translation>Optional parameter not allowed</translation>
    </message>
    <message>
        <source>Ungültige Länge eines Parameters</source>
        <translation>Invalid parameter length</translation>
    </message>
    <message>
        <source>Optionaler Parameter fehlt</source>
        <translation>Optional parameter missing</translation>
    </message>
    <message>
        <source>Ungültiger Wert eines optionalen Parameters</source>
        <translation>Invalid value of an optional parameter</translation>
    </message>
    <message>
        <source>Zustellung fehlgeschlagen</source>
        <translation>Delivery failed</translation>
    </message>
    <message>
        <source>Unbekannter Fehler</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>Fehler des SMS-Centers</source>
        <translation>Error of the SMS centre</translation>
    </message>
    <message>
        <source>Unbekannter Fehlercode</source>
        <translation>Unknown error code</translation>
    </message>
</context>
<context>
    <name>SmppDialogue</name>
    <message>
        <source>Keine System-ID für SMPP konfiguriert</source>
        <translation>No system ID configured for SMPP</translation>
    </message>
    <message>
        <source>Das Passwort für SMPP ist länger als 8 Zeichen</source>
        <translation>The password for SMPP is longer than 8 characters</translation>
    </message>
    <message>
        <source>das Zertifikat ist selbst signiert und nicht vertrauenswürdig</source>
        <translation>the certificate is self-signed and not trusted</translation>
    </message>
    <message>
        <source>das Zertifikat stammt von keiner vertrauenswürdigen Zertifizierungsstelle</source>
        <translation>the certificate is not from a trusted certificate authority</translation>
    </message>
    <message>
        <source>das Zertifikat gilt nicht für diesen Servernamen</source>
        <translation>the certificate is not valid for this server name</translation>
    </message>
    <message>
        <source>das Zertifikat ist abgelaufen</source>
        <translation>the certificate has expired</translation>
    </message>
    <message>
        <source>das Zertifikat ist noch nicht gültig</source>
        <translation>the certificate is not valid yet</translation>
    </message>
    <message>
        <source>das Zertifikat wurde widerrufen</source>
        <translation>the certificate has been revoked</translation>
    </message>
    <message>
        <source>Verbinde mit %1:%2 (TLS)</source>
        <translation>Connecting to %1:%2 (TLS)</translation>
    </message>
    <message>
        <source>Verbinde mit %1:%2</source>
        <translation>Connecting to %1:%2</translation>
    </message>
    <message>
        <source>Verbunden mit %1</source>
        <translation>Connected to %1</translation>
    </message>
    <message>
        <source>TLS-Verbindung steht (%1)</source>
        <translation>TLS connection established (%1)</translation>
    </message>
    <message>
        <source>Nachricht zu lang oder ungültige Empfängernummer</source>
        <translation>message too long or invalid recipient number</translation>
    </message>
    <message>
        <source>SMPP-Befehl %1 kann nicht gepackt werden</source>
        <translation>SMPP command %1 cannot be packed</translation>
    </message>
    <message>
        <source>Unlesbare SMPP-Daten: %1</source>
        <translation>Unreadable SMPP data: %1</translation>
    </message>
    <message>
        <source>Unlesbare Daten von der Zentrale</source>
        <translation>Unreadable data from the message centre</translation>
    </message>
    <message>
        <source>Die Zentrale hat die Sitzung beendet</source>
        <translation>The message centre ended the session</translation>
    </message>
    <message>
        <source>Anmeldung abgelehnt (%1: %2)</source>
        <translation>Login refused (%1: %2)</translation>
    </message>
    <message>
        <source>Die Zentrale verweigert das Senden (%1: %2)</source>
        <translation>The message centre refuses to send (%1: %2)</translation>
    </message>
    <message>
        <source>Die Zentrale meldet einen Fehler (%1: %2)</source>
        <translation>The message centre reports an error (%1: %2)</translation>
    </message>
    <message>
        <source>Die Zentrale nimmt seit längerem keine Nachrichten an (%1: %2)</source>
        <translation>The message centre has not taken any messages for a while (%1: %2)</translation>
    </message>
    <message>
        <source>Zentrale bremst (%1): Fenster %2, nächster Versuch in %3 ms</source>
        <translation>Message centre throttles (%1): window %2, next try in %3 ms</translation>
    </message>
    <message>
        <source>TLS-Verbindung mit %1 gescheitert: %2</source>
        <translation>TLS connection with %1 failed: %2</translation>
    </message>
    <message>
        <source>TLS-Zertifikat von %1 abgelehnt: %2</source>
        <translation>TLS certificate of %1 refused: %2</translation>
    </message>
    <message>
        <source>Keine Antwort der Zentrale auf die Anmeldung</source>
        <translation>No answer from the message centre to the login</translation>
    </message>
    <message>
        <source>Keine Antwort der Zentrale</source>
        <translation>No answer from the message centre</translation>
    </message>
    <message>
        <source>Empfang: neuer Verbindungsversuch in %1 s</source>
        <translation>Receiving: new connection attempt in %1 s</translation>
    </message>
</context>
<context>
    <name>SocketFailure</name>
    <message>
        <source>Server %1 verweigert die Verbindung</source>
        <translation>Server %1 refuses the connection</translation>
    </message>
    <message>
        <source>Server %1 nicht gefunden</source>
        <translation>Server %1 not found</translation>
    </message>
    <message>
        <source>Server %1 antwortet nicht</source>
        <translation>Server %1 does not answer</translation>
    </message>
    <message>
        <source>Verbindungsfehler mit %1: %2</source>
        <translation>Connection error with %1: %2</translation>
    </message>
    <message>
        <source>Verbindung zum Server unterbrochen</source>
        <translation>Connection to the server interrupted</translation>
    </message>
</context>
<context>
    <name>SpoolFile</name>
    <message>
        <source>Die Datei ist grösser als 64 KB.</source>
        <translation>The file is larger than 64 KB.</translation>
    </message>
    <message>
        <source>Zeile %1 ist keine Kopfzeile: %2</source>
        <translation>Line %1 is not a header line: %2</translation>
    </message>
    <message>
        <source>Kopfzeile &quot;To:&quot; kommt mehrmals vor.</source>
        <translation>Header &quot;To:&quot; occurs more than once.</translation>
    </message>
    <message>
        <source>Unbekanntes Alphabet &quot;%1&quot;.</source>
        <translation>Unknown alphabet &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Kopfzeile &quot;To:&quot; fehlt.</source>
        <translation>Header &quot;To:&quot; is missing.</translation>
    </message>
    <message>
        <source>Der Text ist kein gültiges %1.</source>
        <translation>The text is not valid %1.</translation>
    </message>
    <message>
        <source>Die Nachricht ist leer.</source>
        <translation>The message is empty.</translation>
    </message>
</context>
<context>
    <name>SpoolFolder</name>
    <message>
        <source>Der Spool-Ordner &quot;%1&quot; existiert nicht.</source>
        <translation>The spool folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>Der Spool-Ordner &quot;%1&quot; ist kein Ordner.</source>
        <translation>The spool folder &quot;%1&quot; is not a folder.</translation>
    </message>
    <message>
        <source>Der Spool-Ordner &quot;%1&quot; ist für andere Benutzer beschreibbar. Jeder könnte so in Ihrem Namen SMS senden. Bitte nur für Sie beschreibbar machen (chmod 700).</source>
        <translation>The spool folder &quot;%1&quot; is writable by other users. Anyone could send SMS in your name that way. Please make it writable by you only (chmod 700).</translation>
    </message>
    <message>
        <source>Im Spool-Ordner &quot;%1&quot; fehlen Ihnen Lese- oder Schreibrechte.</source>
        <translation>You lack read or write permission in the spool folder &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Der Ordner &quot;%1&quot; kann nicht angelegt werden.</source>
        <translation>The folder &quot;%1&quot; cannot be created.</translation>
    </message>
    <message>
        <source>Die Datei kann nicht in den Ordner &quot;%1&quot; verschoben werden; sie bleibt liegen.</source>
        <translation>The file cannot be moved into the folder &quot;%1&quot;; it is left where it is.</translation>
    </message>
    <message>
        <source>Die Datei kann nicht gelesen werden: %1</source>
        <translation>The file cannot be read: %1</translation>
    </message>
    <message>
        <source>Beim letzten Lauf unterbrochen; nicht gesendet, bitte prüfen.</source>
        <translation>Interrupted in the last run; not sent, please check.</translation>
    </message>
    <message>
        <source>Fehler: %1</source>
        <translation>Error: %1</translation>
    </message>
</context>
<context>
    <name>StartOptions</name>
    <message>
        <source>Daten.mdb aus ORDNER verwenden.</source>
        <translation>Use Daten.mdb from FOLDER.</translation>
    </message>
    <message>
        <source>ORDNER</source>
        <translation>FOLDER</translation>
    </message>
    <message>
        <source>Ohne Modem ausprobieren: der Modem-Simulator dient als Modem, die Daten liegen in einem Wegwerf-Ordner.</source>
        <translation>Try it out without a modem: the modem simulator serves as the modem, the data lives in a throw-away folder.</translation>
    </message>
    <message>
        <source>ART</source>
        <translation>KIND</translation>
    </message>
    <message>
        <source>Boxen nach stderr, nach dem Start gleich enden.</source>
        <translation>Boxes to stderr, end right after the start.</translation>
    </message>
    <message>
        <source>Funkbote versendet SMS über ein Modem.</source>
        <translation>Funkbote sends SMS through a modem.</translation>
    </message>
    <message>
        <source>Unerwartetes Argument: %1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--demo und --data schliessen sich aus.</source>
        <translation>--demo and --data cannot be used together.</translation>
    </message>
    <message>
        <source>--data braucht einen Ordner.</source>
        <translation>--data needs a folder.</translation>
    </message>
    <message>
        <source>Boxen nach stderr, weiterlaufen.</source>
        <translation>Boxes to stderr, keep running.</translation>
    </message>
    <message>
        <source>Intervall von Timer1 in ms.</source>
        <translation>Interval of Timer1 in ms.</translation>
    </message>
    <message>
        <source>--tick-ms braucht eine Zahl von Millisekunden.</source>
        <translation>--tick-ms needs a number of milliseconds.</translation>
    </message>
    <message>
        <source>Ohne Fenster laufen: senden, empfangen und über D-Bus Aufträge annehmen; Meldungen nach stderr. Endet mit SIGTERM.</source>
        <translation>Run without a window: send, receive and take orders over D-Bus; messages to stderr. Ends with SIGTERM.</translation>
    </message>
    <message>
        <source>Befehle für Skripte (mit --json als JSON; siehe man funkbote):
  funkbote send NUMMER TEXT   Nachricht in die Warteschlange (TEXT - liest stdin)
  funkbote status ID          Stand einer Nachricht
  funkbote queue              die Warteschlange
  funkbote inbox [--unread]   empfangene Nachrichten
  funkbote start              angehaltenen Versand fortsetzen</source>
        <translation>Commands for scripts (with --json as JSON; see man funkbote):
  funkbote send NUMBER TEXT   put a message into the queue (TEXT - reads stdin)
  funkbote status ID          where a message stands
  funkbote queue              the queue
  funkbote inbox [--unread]   messages received
  funkbote start              resume halted sending</translation>
    </message>
    <message>
        <source>Für die Demo: modem (Wählverbindung, Vorgabe), tcp (Internet), gsm (GSM-Modem) oder smpp (SMPP über Internet); schliesst --demo ein.</source>
        <translation>For the demo: modem (dial-up, the default), tcp (internet), gsm (GSM modem) or smpp (SMPP over the internet); implies --demo.</translation>
    </message>
    <message>
        <source>--demo-connection kennt modem, tcp, gsm und smpp, nicht &quot;%1&quot;.</source>
        <translation>--demo-connection knows modem, tcp, gsm and smpp, not &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>StartupGuard</name>
    <message>
        <source>Funkbote wird zum ersten Mal gestartet und legt seine Daten neu an in:

%1</source>
        <translation>Funkbote is starting for the first time and creates its data in:

%1</translation>
    </message>
    <message>
        <source>Der Datenordner &quot;%1&quot; kann nicht angelegt werden. Bitte prüfen Sie die Schreibrechte.

Das Programm wird beendet.</source>
        <translation>The data folder &quot;%1&quot; cannot be created. Please check the write permissions.

The program ends.</translation>
    </message>
    <message>
        <source>Dieses Programm ist bereits gestartet!</source>
        <translation>This program is already running!</translation>
    </message>
    <message>
        <source>Im Datenordner &quot;%1&quot; kann die Sperrdatei nicht angelegt werden. Bitte prüfen Sie die Schreibrechte.

Das Programm wird beendet.</source>
        <translation>The lock file cannot be created in the data folder &quot;%1&quot;. Please check the write permissions.

The program ends.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; kann nicht angelegt werden:
%2

Das Programm wird beendet.</source>
        <translation>The file &quot;%1&quot; cannot be created:
%2

The program ends.</translation>
    </message>
    <message>
        <source>Die Datei &quot;%1&quot; enthält das Passwort der Zentrale oder die PIN der SIM-Karte und war für andere Benutzer dieses Computers lesbar. Sie ist jetzt nur noch für Sie lesbar.</source>
        <translation>The file &quot;%1&quot; holds the message centre&apos;s password or the SIM PIN and could be read by other users of this computer. From now on only you can read it.</translation>
    </message>
    <message>
        <source>Funkbote läuft bereits ohne Fenster (Prozess %1, etwa als Dienst) mit diesen Daten. Soll es beendet werden, damit das Fenster starten kann? Die Warteschlange bleibt erhalten.</source>
        <translation>Funkbote is already running without a window (process %1, e.g. as a service) with this data. Shall it end so that the window can start? The queue is kept.</translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <source>Die Tabelle &quot;Einstellungen&quot; enthält keine Zeile.</source>
        <translation>The table &quot;Einstellungen&quot; contains no row.</translation>
    </message>
    <message>
        <source>Der Datensatz ist nicht mehr vorhanden oder wurde inzwischen anders gespeichert.</source>
        <translation>The record no longer exists or has been saved differently in the meantime.</translation>
    </message>
    <message>
        <source>Lesen fehlgeschlagen</source>
        <translation>Reading failed</translation>
    </message>
    <message>
        <source>Speichern fehlgeschlagen</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>%1 (Tabelle &quot;%2&quot;): %3</source>
        <translation>%1 (table &quot;%2&quot;): %3</translation>
    </message>
    <message>
        <source>Löschen fehlgeschlagen</source>
        <translation>Deleting failed</translation>
    </message>
</context>
<context>
    <name>StoreCheck</name>
    <message>
        <source>Die Datenbank &quot;%1&quot; kann nicht verwendet werden: %2

Das Programm wird beendet.</source>
        <translation>The database &quot;%1&quot; cannot be used: %2

The program ends.</translation>
    </message>
    <message>
        <source>Die Tabelle &quot;%1&quot; fehlt.</source>
        <translation>The table &quot;%1&quot; is missing.</translation>
    </message>
    <message>
        <source>In der Tabelle &quot;%1&quot; fehlt das Feld &quot;%2&quot;.</source>
        <translation>The table &quot;%1&quot; lacks the field &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>Die Tabelle &quot;%1&quot; kann nicht gelesen werden (%2).</source>
        <translation>The table &quot;%1&quot; cannot be read (%2).</translation>
    </message>
    <message>
        <source>Die Tabelle &quot;Einstellungen&quot; kann nicht gelesen werden.</source>
        <translation>The table &quot;Einstellungen&quot; cannot be read.</translation>
    </message>
    <message>
        <source>Die Tabelle &quot;Einstellungen&quot; enthält keinen Datensatz mit den Modemeinstellungen.</source>
        <translation>The table &quot;Einstellungen&quot; contains no record with the modem settings.</translation>
    </message>
    <message>
        <source>Die Datei wurde nicht gefunden.</source>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <source>Es handelt sich nicht um eine Datei.</source>
        <translation>It is not a file.</translation>
    </message>
    <message>
        <source>Die Datei kann nicht gelesen werden (fehlende Berechtigung).</source>
        <translation>The file cannot be read (no permission).</translation>
    </message>
    <message>
        <source>Die Datei ist keine SQLite-Datenbank (zum Beispiel eine ältere Access-Datei oder eine beschädigte Datei).</source>
        <translation>The file is not an SQLite database (for example an older Access file or a damaged file).</translation>
    </message>
    <message>
        <source>Die Datei ist schreibgeschützt.</source>
        <translation>The file is write-protected.</translation>
    </message>
    <message>
        <source>Im Ordner &quot;%1&quot; darf nicht geschrieben werden.</source>
        <translation>The folder &quot;%1&quot; may not be written to.</translation>
    </message>
    <message>
        <source>Die Datei kann nicht geöffnet werden (%1).</source>
        <translation>The file cannot be opened (%1).</translation>
    </message>
    <message>
        <source>Die Datei ist beschädigt oder gesperrt (%1).</source>
        <translation>The file is damaged or locked (%1).</translation>
    </message>
    <message>
        <source>Die Datei wird von einem anderen Programm gesperrt.</source>
        <translation>The file is locked by another program.</translation>
    </message>
</context>
<context>
    <name>StoredQueue</name>
    <message>
        <source>Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. Eine noch nicht versandte Nachricht steht wieder in der Warteschlange und wird versandt.</source>
        <translation>Funkbote was not ended properly last time. A message not yet sent is back in the queue and will be sent.</translation>
    </message>
    <message>
        <source>Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. %1 noch nicht versandte Nachrichten stehen wieder in der Warteschlange, in ihrer bisherigen Reihenfolge, und werden versandt.</source>
        <translation>Funkbote was not ended properly last time. %1 messages not yet sent are back in the queue, in their previous order, and will be sent.</translation>
    </message>
    <message>
        <source>Die Warteschlange kann nicht in der Datenbank &quot;%1&quot; gesichert werden:
%2

Funkbote arbeitet weiter, hält die Warteschlange aber nur im Arbeitsspeicher: Stürzt das Programm ab, gehen die noch nicht versandten Nachrichten verloren.</source>
        <translation>The queue cannot be kept safe in the database &quot;%1&quot;:
%2

Funkbote goes on working but holds the queue in memory only: if the program crashes, the messages not yet sent are lost.</translation>
    </message>
    <message>
        <source>Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet.</source>
        <translation>Funkbote was not shut down properly last time.</translation>
    </message>
    <message>
        <source>Eine noch nicht versandte Nachricht steht wieder in der Warteschlange und wird versandt.</source>
        <translation>One message not yet sent is back in the queue and will be sent.</translation>
    </message>
    <message>
        <source>%1 noch nicht versandte Nachrichten stehen wieder in der Warteschlange und werden versandt.</source>
        <translation>%1 messages not yet sent are back in the queue and will be sent.</translation>
    </message>
    <message>
        <source>%1 Nachricht(en) wurden möglicherweise schon versandt: Das Programm endete, nachdem sie abgeschickt waren und bevor ihr Versand im Archiv stand.</source>
        <translation>%1 message(s) may already have been sent: the program ended after they went out and before they were entered in the archive.</translation>
    </message>
    <message>
        <source>Sollen sie nochmals gesendet werden? Mit &quot;Nicht senden&quot; kommen sie mit dem Versandstatus &quot;unbekannt&quot; ins Archiv.</source>
        <translation>Send them again? With &quot;Do not send&quot; they are entered in the archive with the status &quot;unknown&quot;.</translation>
    </message>
    <message>
        <source>Nochmals senden</source>
        <translation>Send again</translation>
    </message>
    <message>
        <source>Nicht senden</source>
        <translation>Do not send</translation>
    </message>
    <message>
        <source>Funkbote wurde beim letzten Mal ohne Rückfrage beendet (etwa beim Abmelden); die Warteschlange blieb erhalten.</source>
        <translation>Funkbote was last ended without a question (for instance when logging out); the queue was kept.</translation>
    </message>
</context>
<context>
    <name>Ucp</name>
    <message>
        <source>Checksummenfehler</source>
        <translation>Checksum error</translation>
    </message>
    <message>
        <source>Syntaxfehler</source>
        <translation>Syntax error</translation>
    </message>
    <message>
        <source>Operation nicht unterstützt</source>
        <translation>Operation not supported</translation>
    </message>
    <message>
        <source>Operation nicht erlaubt</source>
        <translation>Operation not allowed</translation>
    </message>
    <message>
        <source>Sperre aktiv</source>
        <translation>Call barring active</translation>
    </message>
    <message>
        <source>Empfängeradresse ungültig (AdC)</source>
        <translation>Invalid recipient address (AdC)</translation>
    </message>
    <message>
        <source>Authentifizierung fehlgeschlagen</source>
        <translation>Authentication failure</translation>
    </message>
    <message>
        <source>Legitimationscode für alle Aufrufe fehlgeschlagen</source>
        <translation>Legitimisation code for all calls failed</translation>
    </message>
    <message>
        <source>GA nicht gültig</source>
        <translation>GA not valid</translation>
    </message>
    <message>
        <source>Wiederholung nicht erlaubt</source>
        <translation>Repetition not allowed</translation>
    </message>
    <message>
        <source>Legitimationscode für Wiederholung fehlgeschlagen</source>
        <translation>Legitimisation code for repetition failed</translation>
    </message>
    <message>
        <source>Prioritätsnachricht nicht erlaubt</source>
        <translation>Priority call not allowed</translation>
    </message>
    <message>
        <source>Legitimationscode für Prioritätsnachricht fehlgeschlagen</source>
        <translation>Legitimisation code for priority call failed</translation>
    </message>
    <message>
        <source>Dringende Nachricht nicht erlaubt</source>
        <translation>Urgent message not allowed</translation>
    </message>
    <message>
        <source>Legitimationscode für dringende Nachricht fehlgeschlagen</source>
        <translation>Legitimisation code for urgent message failed</translation>
    </message>
    <message>
        <source>Gebührenübernahme durch den Empfänger nicht erlaubt</source>
        <translation>Reverse charging not allowed</translation>
    </message>
    <message>
        <source>Legitimationscode für Gebührenübernahme fehlgeschlagen</source>
        <translation>Legitimisation code for reverse charging failed</translation>
    </message>
    <message>
        <source>Verzögerte Zustellung nicht erlaubt</source>
        <translation>Deferred delivery not allowed</translation>
    </message>
    <message>
        <source>Neuer Authentifizierungscode ungültig</source>
        <translation>New authentication code not valid</translation>
    </message>
    <message>
        <source>Neuer Legitimationscode ungültig</source>
        <translation>New legitimisation code not valid</translation>
    </message>
    <message>
        <source>Standardtext ungültig</source>
        <translation>Standard text not valid</translation>
    </message>
    <message>
        <source>Zeitraum ungültig</source>
        <translation>Time period not valid</translation>
    </message>
    <message>
        <source>Nachrichtentyp nicht unterstützt</source>
        <translation>Message type not supported</translation>
    </message>
    <message>
        <source>Nachricht zu lang</source>
        <translation>Message too long</translation>
    </message>
    <message>
        <source>Angeforderter Standardtext ungültig</source>
        <translation>Requested standard text not valid</translation>
    </message>
    <message>
        <source>Nachrichtentyp ungültig</source>
        <translation>Message type not valid</translation>
    </message>
    <message>
        <source>Nachricht in der Zentrale nicht gefunden</source>
        <translation>Message not found in the centre</translation>
    </message>
    <message>
        <source>Ungültiger Zeichensatz</source>
        <translation>Invalid character set</translation>
    </message>
    <message>
        <source>Teilnehmer hat aufgelegt</source>
        <translation>Subscriber hung up</translation>
    </message>
    <message>
        <source>Faxgruppe nicht unterstützt</source>
        <translation>Fax group not supported</translation>
    </message>
    <message>
        <source>Fax-Nachrichtentyp nicht unterstützt</source>
        <translation>Fax message type not supported</translation>
    </message>
    <message>
        <source>Adresse bereits in der Liste</source>
        <translation>Address already in the list</translation>
    </message>
    <message>
        <source>Adresse nicht in der Liste</source>
        <translation>Address not in the list</translation>
    </message>
    <message>
        <source>Liste voll, Adresse kann nicht hinzugefügt werden</source>
        <translation>List full, the address cannot be added</translation>
    </message>
    <message>
        <source>RPID bereits vergeben</source>
        <translation>RPID already in use</translation>
    </message>
    <message>
        <source>Zustellung läuft</source>
        <translation>Delivery in progress</translation>
    </message>
    <message>
        <source>Nachricht weitergeleitet</source>
        <translation>Message forwarded</translation>
    </message>
    <message>
        <source>Netz ausgelastet</source>
        <translation>Network busy</translation>
    </message>
    <message>
        <source>Legitimationscode für Standardtext fehlgeschlagen</source>
        <translation>Legitimisation code for standard text failed</translation>
    </message>
    <message>
        <source>Operation teilweise erfolgreich</source>
        <translation>Operation partially successful</translation>
    </message>
    <message>
        <source>Operation nicht erfolgreich</source>
        <translation>Operation not successful</translation>
    </message>
    <message>
        <source>Systemfehler der Zentrale</source>
        <translation>System error of the centre</translation>
    </message>
    <message>
        <source>unbekannter Fehler</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>SMS-Center verweigert den Versand (%1: %2)</source>
        <translation>The message centre refuses sending (%1: %2)</translation>
    </message>
    <message>
        <source>Prüfsummenfehler</source>
        <translation>Checksum error</translation>
    </message>
    <message>
        <source>Fehler des SMS-Centers (%1: %2)</source>
        <translation>Message centre error (%1: %2)</translation>
    </message>
</context>
<context>
    <name>UcpReason</name>
    <message>
        <source>Teilnehmer unbekannt</source>
        <translation>Unknown subscriber</translation>
    </message>
    <message>
        <source>Dienst vorübergehend nicht verfügbar</source>
        <translation>Service temporarily unavailable</translation>
    </message>
    <message>
        <source>Zeitüberschreitung im Netz</source>
        <translation>Network time-out</translation>
    </message>
    <message>
        <source>Empfang gesperrt</source>
        <translation>Reception barred</translation>
    </message>
    <message>
        <source>SMS-Center überlastet</source>
        <translation>Message centre congested</translation>
    </message>
    <message>
        <source>Empfänger nicht erreichbar</source>
        <translation>Recipient not reachable</translation>
    </message>
    <message>
        <source>Zustellung fehlgeschlagen</source>
        <translation>Delivery failed</translation>
    </message>
    <message>
        <source>Telefon kann keine SMS empfangen</source>
        <translation>Phone cannot receive SMS</translation>
    </message>
    <message>
        <source>Fehler im Telefon des Empfängers</source>
        <translation>Error in the recipient&apos;s phone</translation>
    </message>
    <message>
        <source>Systemfehler im Netz</source>
        <translation>Network system failure</translation>
    </message>
    <message>
        <source>Nachricht zu lang</source>
        <translation>Message too long</translation>
    </message>
    <message>
        <source>Empfängeradresse ungültig</source>
        <translation>Invalid recipient address</translation>
    </message>
    <message>
        <source>anderer Grund (%1)</source>
        <translation>other reason (%1)</translation>
    </message>
</context>
<context>
    <name>UcpTcpDialogue</name>
    <message>
        <source>Kein Server für die Internet-Verbindung konfiguriert</source>
        <translation>No server configured for the internet connection</translation>
    </message>
    <message>
        <source>Verbinde mit %1:%2</source>
        <translation>Connecting to %1:%2</translation>
    </message>
    <message>
        <source>Verbunden mit %1</source>
        <translation>Connected to %1</translation>
    </message>
    <message>
        <source>&lt;Passwort&gt;</source>
        <translation>&lt;password&gt;</translation>
    </message>
    <message>
        <source>Anmeldung abgelehnt (%1: %2)</source>
        <translation>Login refused (%1: %2)</translation>
    </message>
    <message>
        <source>Keine Antwort der Zentrale auf die Anmeldung</source>
        <translation>No answer from the message centre to the login</translation>
    </message>
    <message>
        <source>Keine Antwort der Zentrale</source>
        <translation>No answer from the message centre</translation>
    </message>
    <message>
        <source>Das Passwort enthält das Zeichen «%1», das bei der Anmeldung nicht gesendet werden kann</source>
        <translation>The password contains the character “%1”, which cannot be sent in the login</translation>
    </message>
    <message>
        <source>ungültige Empfängernummer</source>
        <translation>invalid recipient number</translation>
    </message>
    <message>
        <source>Nachricht zu lang</source>
        <translation>Message too long</translation>
    </message>
    <message>
        <source>Der Absender «%1» kann nicht gesendet werden: höchstens 11 Zeichen des GSM-Alphabets</source>
        <translation>The sender “%1” cannot be sent: at most 11 characters of the GSM alphabet</translation>
    </message>
    <message>
        <source>Empfang: neuer Verbindungsversuch in %1 s</source>
        <translation>Receiving: new connection attempt in %1 s</translation>
    </message>
</context>
<context>
    <name>VCardFormat</name>
    <message>
        <source>vCard-Version «%1» ist unbekannt; die Karte wird wie eine vCard 4.0 gelesen.</source>
        <translation>vCard version “%1” is unknown; the card is read as a vCard 4.0.</translation>
    </message>
    <message>
        <source>Fehlerhafte Quoted-Printable-Kodierung; die betroffenen Zeichen wurden unverändert übernommen.</source>
        <translation>Faulty quoted-printable encoding; the characters concerned were taken as they stand.</translation>
    </message>
    <message>
        <source>Zeichensatz «%1» ist unbekannt; der Wert wurde als UTF-8 bzw. Latin-1 gelesen.</source>
        <translation>Character set “%1” is unknown; the value was read as UTF-8 or Latin-1.</translation>
    </message>
    <message>
        <source>Die Karte enthält weder Name noch Adresse, Nummer oder Bemerkung und wird übersprungen.</source>
        <translation>The card contains neither name nor address, number or note and is skipped.</translation>
    </message>
    <message>
        <source>END:VCARD fehlt für die Karte ab Zeile %1; sie wurde bis hier gelesen.</source>
        <translation>END:VCARD is missing for the card from line %1; it was read up to here.</translation>
    </message>
    <message>
        <source>Die Zeile steht ausserhalb einer Karte (BEGIN:VCARD fehlt) und wird mit den folgenden bis zur nächsten Karte übersprungen.</source>
        <translation>The line stands outside a card (BEGIN:VCARD is missing) and is skipped with the following ones up to the next card.</translation>
    </message>
    <message>
        <source>Die Zeile hat keinen Doppelpunkt und wird übersprungen.</source>
        <translation>The line has no colon and is skipped.</translation>
    </message>
    <message>
        <source>END:VCARD fehlt am Ende der Datei; die Karte wurde bis zum Ende gelesen.</source>
        <translation>END:VCARD is missing at the end of the file; the card was read up to the end.</translation>
    </message>
    <message>
        <source>Die Datei enthält keine vCard.</source>
        <translation>The file contains no vCard.</translation>
    </message>
</context>
</TS>
