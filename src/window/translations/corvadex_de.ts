<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ContactDetailsView</name>
    <message>
        <source>First name:</source>
        <translation>Vorname:</translation>
    </message>
    <message>
        <source>Middle name:</source>
        <translation>Zweiter Vorname:</translation>
    </message>
    <message>
        <source>Last name:</source>
        <translation>Nachname:</translation>
    </message>
    <message>
        <source>Nickname:</source>
        <translation>Spitzname:</translation>
    </message>
    <message>
        <source>Home phone:</source>
        <translation>Telefon privat:</translation>
    </message>
    <message>
        <source>Personal e-mail:</source>
        <translation>E-Mail privat:</translation>
    </message>
    <message>
        <source>Work phone:</source>
        <translation>Telefon geschäftlich:</translation>
    </message>
    <message>
        <source>Work e-mail:</source>
        <translation>E-Mail geschäftlich:</translation>
    </message>
    <message>
        <source>Mobile phone:</source>
        <translation>Mobiltelefon:</translation>
    </message>
    <message>
        <source>Other e-mail:</source>
        <translation>Weitere E-Mail:</translation>
    </message>
    <message>
        <source>Other phone:</source>
        <translation>Weiteres Telefon:</translation>
    </message>
    <message>
        <source>Street address:</source>
        <translation>Straße:</translation>
    </message>
    <message>
        <source>City:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>State/province:</source>
        <translation>Bundesland/Kanton:</translation>
    </message>
    <message>
        <source>ZIP/postal code:</source>
        <translation>Postleitzahl:</translation>
    </message>
    <message>
        <source>Country/region:</source>
        <translation>Land/Region:</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax privat</translation>
    </message>
    <message>
        <source>Personal website:</source>
        <translation>Website privat:</translation>
    </message>
    <message>
        <source>Birthday:</source>
        <translation>Geburtstag:</translation>
    </message>
    <message>
        <source>Significant Other:</source>
        <translation>Partner/in:</translation>
    </message>
    <message>
        <source>Anniversary:</source>
        <translation>Jahrestag:</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Firma:</translation>
    </message>
    <message>
        <source>Job title:</source>
        <translation>Position:</translation>
    </message>
    <message>
        <source>ZIP/Postal code:</source>
        <translation>Postleitzahl:</translation>
    </message>
    <message>
        <source>Pager:</source>
        <translation>Pager:</translation>
    </message>
    <message>
        <source>Work website:</source>
        <translation>Website geschäftlich:</translation>
    </message>
    <message>
        <source>Windows Live Messanger Address:</source>
        <translation>Windows Live Messenger-Adresse:</translation>
    </message>
    <message>
        <source>Other instant massaging address:</source>
        <translation>Weitere Instant-Messaging-Adresse:</translation>
    </message>
    <message>
        <source> Contact </source>
        <translation> Kontakt </translation>
    </message>
    <message>
        <source> Personal </source>
        <translation> Privat </translation>
    </message>
    <message>
        <source> Work </source>
        <translation> Arbeit </translation>
    </message>
    <message>
        <source> IM </source>
        <translation> IM </translation>
    </message>
    <message>
        <source> Notes </source>
        <translation> Notizen </translation>
    </message>
</context>
<context>
    <name>ContactListModel</name>
    <message>
        <source>NickName</source>
        <translation>Spitzname</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Middle Name</source>
        <translation>Zweiter Vorname</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>EMail</source>
        <translation>E-Mail</translation>
    </message>
</context>
<context>
    <name>DatabaseChooser</name>
    <message>
        <source>Choose the contacts database</source>
        <translation>Kontaktdatenbank wählen</translation>
    </message>
    <message>
        <source>Several contacts databases were found. Choose the one to read:</source>
        <translation>Es wurden mehrere Kontaktdatenbanken gefunden. Wählen Sie die zu lesende:</translation>
    </message>
    <message>
        <source>Volume or prefix</source>
        <translation>Laufwerk oder Präfix</translation>
    </message>
    <message>
        <source>Windows user</source>
        <translation>Windows-Benutzer</translation>
    </message>
    <message>
        <source>Version folder</source>
        <translation>Versionsordner</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Last changed</source>
        <translation>Zuletzt geändert</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lesen</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Speicher.</translation>
    </message>
    <message>
        <source>An unknown error occurred.</source>
        <translation>Ein unbekannter Fehler ist aufgetreten.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>name, e-mail, phone, ...</source>
        <translation>Name, E-Mail, Telefon, …</translation>
    </message>
    <message>
        <source>Previous contact with the text (Shift+F3)</source>
        <translation>Voriger Kontakt mit dem Text (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next contact with the text (F3, Enter)</source>
        <translation>Nächster Kontakt mit dem Text (F3, Eingabe)</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>nicht gefunden</translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation>Suchleiste schließen (Esc)</translation>
    </message>
</context>
<context>
    <name>MessageLog</name>
    <message>
        <source>database page size %1</source>
        <translation>Seitengröße der Datenbank %1</translation>
    </message>
    <message>
        <source>The database is empty</source>
        <translation>Die Datenbank ist leer</translation>
    </message>
    <message>
        <source>The database was not shut down cleanly; changes held only in its log files may be missing</source>
        <translation>Die Datenbank wurde nicht sauber geschlossen; Änderungen, die nur in ihren Protokolldateien stehen, können fehlen</translation>
    </message>
    <message>
        <source>ERROR table %1: the contacts would take more memory than a file of this size can hold; the list ends after contact %2</source>
        <translation>FEHLER Tabelle %1: Die Kontakte bräuchten mehr Speicher, als eine Datei dieser Größe fassen kann; die Liste endet nach Kontakt %2</translation>
    </message>
    <message>
        <source>Windows Live Mail version %1</source>
        <translation>Windows Live Mail Version %1</translation>
    </message>
    <message>
        <source>Version less than Windows Live Mail 2009 not supported!</source>
        <translation>Versionen vor Windows Live Mail 2009 werden nicht unterstützt!</translation>
    </message>
    <message>
        <source>Database File: %1</source>
        <translation>Datenbankdatei: %1</translation>
    </message>
    <message>
        <source>ERROR DatabaseFilePath not Exists</source>
        <translation>FEHLER Die Datenbankdatei existiert nicht</translation>
    </message>
    <message>
        <source>Found contacts database: %1</source>
        <translation>Kontaktdatenbank gefunden: %1</translation>
    </message>
    <message>
        <source>No answer from %1, left out</source>
        <translation>Keine Antwort von %1, ausgelassen</translation>
    </message>
    <message>
        <source>No other contacts database found</source>
        <translation>Keine weitere Kontaktdatenbank gefunden</translation>
    </message>
    <message>
        <source>Reading contacts database: %1</source>
        <translation>Kontaktdatenbank wird gelesen: %1</translation>
    </message>
    <message>
        <source>Searching for contacts databases in other places</source>
        <translation>Kontaktdatenbanken werden an weiteren Orten gesucht</translation>
    </message>
    <message>
        <source>Searched %1 places for contacts databases</source>
        <translation>%1 Orte nach Kontaktdatenbanken durchsucht</translation>
    </message>
    <message>
        <source>Searched: %1</source>
        <translation>Durchsucht: %1</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source> About Corvadex</source>
        <translation> Über Corvadex</translation>
    </message>
    <message>
        <source>Author: </source>
        <translation>Autor: </translation>
    </message>
    <message>
        <source>Corvadex team</source>
        <translation>Corvadex-Team</translation>
    </message>
    <message>
        <source>Online,</source>
        <translation>Online,</translation>
    </message>
    <message>
        <source>Earth</source>
        <translation>Erde</translation>
    </message>
    <message>
        <source>Lists the contacts of a contacts.edb file,</source>
        <translation>Listet die Kontakte einer contacts.edb auf,</translation>
    </message>
    <message>
        <source>shows their details and exports them to XML.</source>
        <translation>zeigt ihre Details und exportiert sie als XML.</translation>
    </message>
    <message>
        <source>The database is only read.</source>
        <translation>Die Datenbank wird nur gelesen.</translation>
    </message>
    <message>
        <source>How to use it, in the guide:</source>
        <translation>Anleitung im Handbuch:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TFormCorvadex</name>
    <message>
        <source>Find the contacts database authomatically</source>
        <translation>Kontaktdatenbank automatisch suchen</translation>
    </message>
    <message>
        <source>Choose the database file</source>
        <translation>Datenbankdatei wählen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>In Datei speichern</translation>
    </message>
    <message>
        <source>Export to XML file</source>
        <translation>XML-Export</translation>
    </message>
    <message>
        <source>xml files|*.xml</source>
        <translation>XML-Dateien|*.xml</translation>
    </message>
    <message>
        <source> File does not exists. </source>
        <translation> Die Datei existiert nicht. </translation>
    </message>
    <message>
        <source> Corvadex</source>
        <translation> Corvadex</translation>
    </message>
    <message>
        <source>1 contact</source>
        <translation>1 Kontakt</translation>
    </message>
    <message>
        <source>en_US</source>
        <comment>the locale whose digit grouping numbers follow</comment>
        <translation>de_DE</translation>
    </message>
    <message>
        <source>%1 contacts</source>
        <translation>%1 Kontakte</translation>
    </message>
    <message>
        <source>Corvadex — %1 — %2</source>
        <translation>Corvadex — %1 — %2</translation>
    </message>
    <message>
        <source>%1: %2 read</source>
        <translation>%1: %2 gelesen</translation>
    </message>
    <message>
        <source>%1 exported to %2</source>
        <translation>%1 nach %2 exportiert</translation>
    </message>
    <message>
        <source>No contacts database was read. Choose &quot;Choose the database file&quot; and pick the file with &quot;...&quot; (Ctrl+O), or drop the file on this window.</source>
        <translation>Es wurde keine Kontaktdatenbank gelesen. Wählen Sie „Datenbankdatei wählen“ und dann die Datei mit „...“ (Strg+O), oder ziehen Sie die Datei auf dieses Fenster.</translation>
    </message>
    <message>
        <source>Export for another address book...</source>
        <translation>Für anderes Adressbuch...</translation>
    </message>
    <message>
        <source>The export was not written: the file chosen is the contacts database being shown, which Corvadex never changes.</source>
        <translation>Der Export wurde nicht geschrieben: Die gewählte Datei ist die angezeigte Kontaktdatenbank, die Corvadex nie verändert.</translation>
    </message>
    <message>
        <source>Export the contacts as XML</source>
        <translation>Kontakte als XML exportieren</translation>
    </message>
    <message>
        <source>Export the contacts for another address book</source>
        <translation>Kontakte für ein anderes Adressbuch exportieren</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the file is missing.</source>
        <translation>die Datei fehlt.</translation>
    </message>
    <message>
        <source>it is not a contacts database.</source>
        <translation>sie ist keine Kontaktdatenbank.</translation>
    </message>
    <message>
        <source>it is held by another program, or you may not read it. Close the mail client, Messenger and its background communication service, or copy the folder and read the copy.</source>
        <translation>ein anderes Programm hält sie geöffnet, oder Sie dürfen sie nicht lesen. Schließen Sie das Mailprogramm, den Messenger und dessen Hintergrunddienst für die Kommunikation, oder kopieren Sie den Ordner und lesen Sie die Kopie.</translation>
    </message>
    <message>
        <source>the database is damaged.</source>
        <translation>die Datenbank ist beschädigt.</translation>
    </message>
    <message>
        <source>the database holds no contacts.</source>
        <translation>die Datenbank enthält keine Kontakte.</translation>
    </message>
    <message>
        <source>the read stopped before the contacts.</source>
        <translation>das Lesen brach vor den Kontakten ab.</translation>
    </message>
    <message>
        <source>the database engine reported error %1.</source>
        <translation>die Datenbank meldete den Fehler %1.</translation>
    </message>
    <message>
        <source>%1 exported to %2 as %3</source>
        <translation>%1 als %3 nach %2 exportiert</translation>
    </message>
    <message>
        <source>%1 from %2 exported to %3 as %4</source>
        <translation>%1 aus %2 als %4 nach %3 exportiert</translation>
    </message>
    <message>
        <source>No contacts have been read: nothing was exported.</source>
        <translation>Es wurden keine Kontakte gelesen: Nichts wurde exportiert.</translation>
    </message>
    <message>
        <source>Wait for the read or export under way to end.</source>
        <translation>Warten Sie, bis das laufende Lesen oder Exportieren beendet ist.</translation>
    </message>
</context>
</TS>
