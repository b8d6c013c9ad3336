<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>Application</name>
    <message>
        <source>Not enough memory</source>
        <translation>Memoria insufficiente</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Errore sconosciuto</translation>
    </message>
</context>
<context>
    <name>CartridgeDetails</name>
    <message>
        <source>ROM ONLY</source>
        <translation>SOLO ROM</translation>
    </message>
    <message>
        <source>none</source>
        <translation>nessuna</translation>
    </message>
    <message>
        <source>unknown (%1)</source>
        <translation>sconosciuto (%1)</translation>
    </message>
    <message>
        <source>(no title)</source>
        <translation>(senza titolo)</translation>
    </message>
    <message>
        <source>Game Boy Color only</source>
        <translation>Solo Game Boy Color</translation>
    </message>
    <message>
        <source>Color enhanced</source>
        <translation>Migliorato per il colore</translation>
    </message>
    <message>
        <source>Game Boy</source>
        <translation>Game Boy</translation>
    </message>
    <message>
        <source>Super Game Boy</source>
        <translation>Super Game Boy</translation>
    </message>
    <message>
        <source>%1, ROM %2, RAM %3</source>
        <translation>%1, ROM %2, RAM %3</translation>
    </message>
    <message>
        <source>Warning: the logo is invalid</source>
        <translation>Attenzione: il logo non è valido</translation>
    </message>
    <message>
        <source>Warning: the header says %1, the file holds %2 bytes</source>
        <translation>Attenzione: l&apos;intestazione dice %1, il file contiene %2 byte</translation>
    </message>
    <message>
        <source>Archive entry: %1</source>
        <translation>Voce dell&apos;archivio: %1</translation>
    </message>
    <message>
        <source>Warning: header checksum invalid (stored %1, computed %2)</source>
        <translation>Attenzione: checksum dell&apos;intestazione non valido (registrato %1, calcolato %2)</translation>
    </message>
    <message>
        <source>Warning: global checksum invalid (stored %1, computed %2)</source>
        <translation>Attenzione: checksum globale non valido (registrato %1, calcolato %2)</translation>
    </message>
    <message numerus="yes">
        <source>Archive entry: %1 (the first of %n ROMs)</source>
        <translation>
            <numerusform>Voce dell&apos;archivio: %1 (la prima di %n ROM)</numerusform>
            <numerusform>Voce dell&apos;archivio: %1 (la prima di %n ROM)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Archive entry: %1 (the first of %n ROMs or more)</source>
        <translation>
            <numerusform>Voce dell&apos;archivio: %1 (la prima di %n ROM o più)</numerusform>
            <numerusform>Voce dell&apos;archivio: %1 (la prima di %n ROM o più)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 vuole un valore</translation>
    </message>
    <message>
        <source>--scan given twice, or with --info</source>
        <translation>--scan dato due volte, o con --info</translation>
    </message>
    <message>
        <source>--scan needs a folder name, not an empty text</source>
        <translation>--scan vuole il nome di una cartella, non un testo vuoto</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>opzione sconosciuta %1</translation>
    </message>
    <message>
        <source>--mask goes with --scan</source>
        <translation>--mask va con --scan</translation>
    </message>
    <message>
        <source>--scan takes no configuration file</source>
        <translation>--scan non accetta un file di configurazione</translation>
    </message>
    <message>
        <source>only one configuration file can be given</source>
        <translation>si può dare un solo file di configurazione</translation>
    </message>
    <message>
        <source>--subfolders goes with --scan</source>
        <translation>--subfolders va con --scan</translation>
    </message>
    <message>
        <source>--names goes with --scan</source>
        <translation>--names va con --scan</translation>
    </message>
    <message>
        <source>%1 goes with nothing but files</source>
        <translation>%1 va solo con dei file</translation>
    </message>
    <message>
        <source>%1 needs at least one file</source>
        <translation>%1 vuole almeno un file</translation>
    </message>
    <message>
        <source>--download-pictures goes with --info</source>
        <translation>--download-pictures va con --info</translation>
    </message>
    <message>
        <source>--library goes with nothing but a configuration file</source>
        <translation>--library va solo con un file di configurazione</translation>
    </message>
    <message>
        <source>--library-list takes nothing more</source>
        <translation>--library-list non accetta altro</translation>
    </message>
    <message>
        <source>%1 needs at least one folder</source>
        <translation>%1 richiede almeno una cartella</translation>
    </message>
    <message>
        <source>--get-names takes nothing more</source>
        <translation>--get-names non prende altro</translation>
    </message>
    <message>
        <source>Usage: kelpad [OPTIONS] [--] [FILE]
       kelpad [--] ROM...
       kelpad --scan DIR [--subfolders] [--names] [--mask MASK]
       kelpad --info [--download-pictures] FILE...
       kelpad --add ROM...
       kelpad --library | --library-list
       kelpad --library-add FOLDER... | --library-remove FOLDER...
       kelpad --library-missing [DATABASE] | --library-saves | --backup-saves
       kelpad --get-names

A front-end for Game Boy and Game Boy Color emulators.

  FILE               load this configuration file at start-up
  ROM...             start these ROMs with the emulator of the configuration
                     last loaded or saved, without the main window
  --scan DIR         print the game list entry of every ROM file in DIR
  --mask MASK        the files --scan reads (several patterns separated
                     by &apos;;&apos;, letter case ignored); by default every ROM:
                     *.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z
  --subfolders       --scan reads the subfolders of DIR too, and writes
                     each file&apos;s path below DIR in its entry
  --names            --scan titles each game with its name from the
                     game databases, where they know it
  --dat FILE         read this game database (DAT) before the others;
                     may be given more than once
  --info FILE...     print what the cartridge header of each file says,
                     and where the game&apos;s pictures lie
  --download-pictures
                     --info first downloads the box art it lacks from
                     thumbnails.libretro.com
  --add FILE...      add these ROMs to the game list of the configuration
                     last loaded or saved, and save it
  --library          open the library window with the main window
  --library-add FOLDER...
                     add these folders (and their subfolders) to the library
  --library-remove FOLDER...
                     take these folders out of the library (no file is deleted)
  --library-list     print the library&apos;s games as tab-separated text: name,
                     system, region, size, crc32, verified, played, last
                     played, path, copies, play time (seconds), emulator
                     and save, one line a game sorted by path
  --library-missing [DATABASE]
                     print the games of the game databases (or of the one
                     named as --info shows it) that no file of the library
                     holds: name, region, size, crc32 and database
  --library-saves    print the battery saves of the library&apos;s games: name,
                     save, size, modified, backups and path
  --backup-saves     back up every save that changed since its last backup
  --get-names        download the game names for Game Boy and Game Boy
                     Color (No-Intro, via libretro-database)
  --help             show this text
  --version          show the version
  --                 what follows is a file name, even if it starts with -

The toolkit&apos;s own options (-style NAME, -platform NAME, ...) are taken too.
</source>
        <translation>Uso: kelpad [OPZIONI] [--] [FILE]
     kelpad [--] ROM...
     kelpad --scan CARTELLA [--subfolders] [--names] [--mask MASCHERA]
     kelpad --info [--download-pictures] FILE...
     kelpad --add ROM...
     kelpad --library | --library-list
     kelpad --library-add CARTELLA... | --library-remove CARTELLA...
     kelpad --library-missing [DATABASE] | --library-saves | --backup-saves
     kelpad --get-names

Un&apos;interfaccia per emulatori di Game Boy e Game Boy Color.

  FILE               carica questo file di configurazione all&apos;avvio
  ROM...             avvia queste ROM con l&apos;emulatore della configurazione
                     caricata o salvata per ultima, senza la finestra principale
  --scan CARTELLA    stampa la voce della lista di ogni ROM nella CARTELLA
  --mask MASCHERA    i file che --scan legge (più modelli separati da &apos;;&apos;,
                     maiuscole indifferenti); predefinita, ogni ROM:
                     *.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z
  --subfolders       --scan legge anche le sottocartelle della CARTELLA e
                     scrive nella voce il percorso di ogni file sotto di essa
  --names            --scan intitola ogni gioco con il suo nome preso dai
                     database di giochi, dove lo conoscono
  --dat FILE         legge questo database di giochi (DAT) prima degli altri;
                     si può dare più volte
  --info FILE...     stampa cosa dice l&apos;intestazione di ogni cartuccia,
                     e dove stanno le immagini del gioco
  --download-pictures
                     --info scarica prima le copertine che mancano da
                     thumbnails.libretro.com
  --add FILE...      aggiunge queste ROM alla lista dei giochi della
                     configurazione caricata o salvata per ultima, e la salva
  --library          apre la finestra della libreria con quella principale
  --library-add CARTELLA...
                     aggiunge queste cartelle (e le sottocartelle) alla libreria
  --library-remove CARTELLA...
                     toglie queste cartelle dalla libreria (nessun file è cancellato)
  --library-list     stampa i giochi della libreria come testo separato da
                     tabulazioni: nome, sistema, regione, dimensione, crc32,
                     verificato, partite, ultima partita, percorso, copie,
                     tempo di gioco (secondi), emulatore e salvataggio, una
                     riga per gioco in ordine di percorso
  --library-missing [DATABASE]
                     stampa i giochi dei database (o di quello nominato come
                     lo mostra --info) che nessun file della libreria
                     contiene: nome, regione, dimensione, crc32 e database
  --library-saves    stampa i salvataggi dei giochi della libreria: nome,
                     salvataggio, dimensione, modificato, copie di sicurezza
                     e percorso
  --backup-saves     fa una copia di sicurezza di ogni salvataggio cambiato
                     dall&apos;ultima
  --get-names        scarica i nomi dei giochi per Game Boy e Game Boy
                     Color (No-Intro, tramite libretro-database)
  --help             mostra questo testo
  --version          mostra la versione
  --                 ciò che segue è un nome di file, anche se inizia con -

Sono accettate anche le opzioni del toolkit (-style NOME, -platform NOME, ...).
</translation>
    </message>
    <message>
        <source>--library-missing takes one database&apos;s name at most</source>
        <translation>--library-missing accetta al massimo il nome di un database</translation>
    </message>
    <message>
        <source>%1 takes nothing more</source>
        <translation>%1 non accetta altro</translation>
    </message>
</context>
<context>
    <name>DatReader</name>
    <message>
        <source>a quoted value is not closed</source>
        <translation>un valore tra virgolette non è chiuso</translation>
    </message>
    <message>
        <source>not a game database</source>
        <translation>non è un database di giochi</translation>
    </message>
    <message>
        <source>a field has no value</source>
        <translation>un campo non ha valore</translation>
    </message>
    <message>
        <source>a block is not closed</source>
        <translation>un blocco non è chiuso</translation>
    </message>
    <message>
        <source>a field has no name</source>
        <translation>un campo non ha nome</translation>
    </message>
    <message>
        <source>a rom is not a block</source>
        <translation>una rom non è un blocco</translation>
    </message>
    <message>
        <source>a CRC is not hexadecimal</source>
        <translation>un CRC non è esadecimale</translation>
    </message>
    <message>
        <source>a size is not a number</source>
        <translation>una dimensione non è un numero</translation>
    </message>
    <message numerus="yes">
        <source>CRC of %n digit(s)</source>
        <translation>
            <numerusform>CRC di %n cifra</numerusform>
            <numerusform>CRC di %n cifre</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DetailLines</name>
    <message>
        <source>yes</source>
        <translation>sì</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>File: </source>
        <translation>File: </translation>
    </message>
    <message>
        <source>Archive entry: </source>
        <translation>Voce dell&apos;archivio: </translation>
    </message>
    <message>
        <source>ROMs in the archive: %1 (the first is used)</source>
        <translation>ROM nell&apos;archivio: %1 (si usa la prima)</translation>
    </message>
    <message>
        <source>ROMs in the archive: %1 or more (the first is used)</source>
        <translation>ROM nell&apos;archivio: %1 o più (si usa la prima)</translation>
    </message>
    <message>
        <source>Layout: </source>
        <translation>Disposizione: </translation>
    </message>
    <message>
        <source>Title: </source>
        <translation>Titolo: </translation>
    </message>
    <message>
        <source>Colour: </source>
        <translation>Colore: </translation>
    </message>
    <message>
        <source>Super Game Boy: </source>
        <translation>Super Game Boy: </translation>
    </message>
    <message>
        <source>Cartridge: </source>
        <translation>Cartuccia: </translation>
    </message>
    <message>
        <source>ROM size: </source>
        <translation>Dimensione ROM: </translation>
    </message>
    <message>
        <source>RAM size: </source>
        <translation>Dimensione RAM: </translation>
    </message>
    <message>
        <source>Destination: </source>
        <translation>Destinazione: </translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Versione: </translation>
    </message>
    <message>
        <source>Logo: </source>
        <translation>Logo: </translation>
    </message>
    <message>
        <source>valid</source>
        <translation>valido</translation>
    </message>
    <message>
        <source>invalid</source>
        <translation>non valido</translation>
    </message>
    <message>
        <source>Header checksum: </source>
        <translation>Checksum dell&apos;intestazione: </translation>
    </message>
    <message>
        <source>Global checksum: </source>
        <translation>Checksum globale: </translation>
    </message>
    <message>
        <source>File size: </source>
        <translation>Dimensione del file: </translation>
    </message>
    <message>
        <source>CRC32: </source>
        <translation>CRC32: </translation>
    </message>
    <message>
        <source>Name: </source>
        <translation>Nome: </translation>
    </message>
    <message>
        <source>Database: </source>
        <translation>Database: </translation>
    </message>
    <message>
        <source>Name: not in the game databases</source>
        <translation>Nome: non presente nei database dei giochi</translation>
    </message>
</context>
<context>
    <name>FileListBox</name>
    <message numerus="yes">
        <source>Only the first %n file(s) are listed.</source>
        <translation>
            <numerusform>Viene elencato solo il primo file.</numerusform>
            <numerusform>Vengono elencati solo i primi %n file.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) left out:</source>
        <translation>
            <numerusform>%n cartella tralasciata:</numerusform>
            <numerusform>%n cartelle tralasciate:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FirstStart</name>
    <message>
        <source>Command:  %1</source>
        <translation>Comando:  %1</translation>
    </message>
    <message>
        <source>Package:  %1</source>
        <translation>Pacchetto:  %1</translation>
    </message>
    <message>
        <source>Systems</source>
        <translation>Sistemi</translation>
    </message>
    <message>
        <source>Game Boy, Game Boy Color</source>
        <translation>Game Boy, Game Boy Color</translation>
    </message>
    <message>
        <source>Fullscreen: %1</source>
        <translation>Schermo intero: %1</translation>
    </message>
    <message>
        <source>Quit: %1</source>
        <translation>Uscita: %1</translation>
    </message>
    <message>
        <source>The ROM is given as its argument.</source>
        <translation>La ROM gli viene passata come argomento.</translation>
    </message>
    <message>
        <source>mGBA, with its own settings window</source>
        <translation>mGBA, con la sua finestra di impostazioni</translation>
    </message>
    <message>
        <source>mGBA in a plain window</source>
        <translation>mGBA in una finestra semplice</translation>
    </message>
    <message>
        <source>close the window</source>
        <translation>chiudere la finestra</translation>
    </message>
    <message>
        <source>VisualBoyAdvance-M</source>
        <translation>VisualBoyAdvance-M</translation>
    </message>
    <message>
        <source>VisualBoyAdvance, the classic one</source>
        <translation>VisualBoyAdvance, il classico</translation>
    </message>
    <message>
        <source>Mednafen, many systems in one</source>
        <translation>Mednafen, molti sistemi in uno</translation>
    </message>
    <message>
        <source>Gngb, small and quick</source>
        <translation>Gngb, piccolo e veloce</translation>
    </message>
    <message>
        <source>start it with -f</source>
        <translation>avviarlo con -f</translation>
    </message>
    <message>
        <source>RetroArch with a Game Boy core</source>
        <translation>RetroArch con un core Game Boy</translation>
    </message>
    <message>
        <source>mGBA, installed from Flathub</source>
        <translation>mGBA, installato da Flathub</translation>
    </message>
</context>
<context>
    <name>GameDatabase</name>
    <message numerus="yes">
        <source> (%n game(s))</source>
        <translation>
            <numerusform> (%n gioco)</numerusform>
            <numerusform> (%n giochi)</numerusform>
        </translation>
    </message>
    <message>
        <source>no game in it can be read</source>
        <translation>non vi si può leggere alcun gioco</translation>
    </message>
</context>
<context>
    <name>GameNames</name>
    <message>
        <source>a database of your own has this name</source>
        <translation>un tuo database ha questo nome</translation>
    </message>
    <message>
        <source>too many redirects</source>
        <translation>troppi reindirizzamenti</translation>
    </message>
    <message>
        <source>redirected to %1</source>
        <translation>reindirizzato a %1</translation>
    </message>
    <message>
        <source>no answer in time</source>
        <translation>nessuna risposta in tempo</translation>
    </message>
    <message>
        <source>too many redirects (HTTP %1)</source>
        <translation>troppi reindirizzamenti (HTTP %1)</translation>
    </message>
</context>
<context>
    <name>GameStart</name>
    <message>
        <source>No emulator is set in slot %1</source>
        <translation>Nessun emulatore impostato nella posizione %1</translation>
    </message>
    <message>
        <source>File not found: </source>
        <translation>File non trovato: </translation>
    </message>
    <message>
        <source>The emulator&apos;s command line has a quote that is not closed</source>
        <translation>La riga di comando dell&apos;emulatore ha una virgoletta non chiusa</translation>
    </message>
</context>
<context>
    <name>IoError</name>
    <message>
        <source>File not found</source>
        <translation>File non trovato</translation>
    </message>
    <message>
        <source>Invalid filename</source>
        <translation>Nome di file non valido</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Troppi file aperti</translation>
    </message>
    <message>
        <source>File access denied</source>
        <translation>Accesso al file negato</translation>
    </message>
    <message>
        <source>Is a folder</source>
        <translation>È una cartella</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disco pieno</translation>
    </message>
    <message>
        <source>I/O error %1</source>
        <translation>Errore di I/O %1</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>Lettura oltre la fine del file</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>File troppo grande</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Non è un file normale</translation>
    </message>
    <message>
        <source>Damaged or truncated archive</source>
        <translation>Archivio danneggiato o troncato</translation>
    </message>
    <message>
        <source>Password-protected archive</source>
        <translation>Archivio protetto da password</translation>
    </message>
    <message>
        <source>No file in the archive</source>
        <translation>Nessun file nell&apos;archivio</translation>
    </message>
    <message>
        <source>No ROM in the archive</source>
        <translation>Nessuna ROM nell&apos;archivio</translation>
    </message>
    <message>
        <source>Not a folder: %1</source>
        <translation>Non è una cartella: %1</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Troppi livelli di collegamenti simbolici</translation>
    </message>
    <message>
        <source>Empty file</source>
        <translation>File vuoto</translation>
    </message>
    <message>
        <source>Not a configuration file</source>
        <translation>Non è un file di configurazione</translation>
    </message>
    <message>
        <source>The file is being changed by another program</source>
        <translation>Il file è in corso di modifica da parte di un altro programma</translation>
    </message>
    <message>
        <source>A folder of the system&apos;s, not of files</source>
        <translation>Una cartella del sistema, non di file</translation>
    </message>
    <message>
        <source>Not a library store</source>
        <translation>Non è un archivio della libreria</translation>
    </message>
    <message>
        <source>A link to a file that is not a library store</source>
        <translation>Un collegamento a un file che non è un archivio della libreria</translation>
    </message>
    <message>
        <source>Written by a newer version of Vantorix: this version reads it but never changes it</source>
        <translation>Scritto da una versione più recente di Vantorix: questa versione lo legge ma non lo modifica mai</translation>
    </message>
    <message>
        <source>The game is running: its emulator would write over the save. Quit the game first.</source>
        <translation>Il gioco è in corso: il suo emulatore scriverebbe sopra il salvataggio. Esci prima dal gioco.</translation>
    </message>
</context>
<context>
    <name>LibraryAudit</name>
    <message>
        <source>%1: have %2 of %3</source>
        <translation>%1: ne hai %2 su %3</translation>
    </message>
</context>
<context>
    <name>LibraryChanges</name>
    <message numerus="yes">
        <source>%1: %n play(s) could not be counted</source>
        <translation>
            <numerusform>%1: %n partita non ha potuto essere contata</numerusform>
            <numerusform>%1: %n partite non hanno potuto essere contate</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryModel</name>
    <message>
        <source>yes</source>
        <translation>sì</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Sistema</translation>
    </message>
    <message>
        <source>Region</source>
        <translation>Regione</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message>
        <source>Verified</source>
        <translation>Verificati</translation>
    </message>
    <message>
        <source>Played</source>
        <translation>Partite</translation>
    </message>
    <message>
        <source>Last played</source>
        <translation>Ultima partita</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Cartella</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copie</translation>
    </message>
    <message>
        <source>Play time</source>
        <translation>Tempo di gioco</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Emulatore</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvataggio</translation>
    </message>
</context>
<context>
    <name>LibraryWindow</name>
    <message>
        <source>Library</source>
        <translation>Libreria</translation>
    </message>
    <message>
        <source>Filter by name or file</source>
        <translation>Filtra per nome o file</translation>
    </message>
    <message>
        <source>All systems</source>
        <translation>Tutti i sistemi</translation>
    </message>
    <message>
        <source>Game Boy</source>
        <translation>Game Boy</translation>
    </message>
    <message>
        <source>Game Boy Color</source>
        <translation>Game Boy Color</translation>
    </message>
    <message>
        <source>Verified</source>
        <translation>Verificati</translation>
    </message>
    <message>
        <source>Favourites</source>
        <translation>Preferiti</translation>
    </message>
    <message>
        <source>Recently played</source>
        <translation>Giocati di recente</translation>
    </message>
    <message>
        <source>Covers</source>
        <translation>Copertine</translation>
    </message>
    <message>
        <source>Add folder…</source>
        <translation>Aggiungi cartella…</translation>
    </message>
    <message>
        <source>Remove folder…</source>
        <translation>Rimuovi cartella…</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Scarica</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Mai</translation>
    </message>
    <message>
        <source>Download pictures of your games from thumbnails.libretro.com?</source>
        <translation>Scaricare le immagini dei tuoi giochi da thumbnails.libretro.com?</translation>
    </message>
    <message>
        <source>Choose a game to see its details.</source>
        <translation>Scegli un gioco per vederne i dettagli.</translation>
    </message>
    <message>
        <source>Add a folder to the library</source>
        <translation>Aggiungi una cartella alla libreria</translation>
    </message>
    <message numerus="yes">
        <source>Too many folders to watch: the library looks at them every %n second(s).</source>
        <translation>
            <numerusform>Troppe cartelle da sorvegliare: la libreria le guarda ogni %n secondo.</numerusform>
            <numerusform>Troppe cartelle da sorvegliare: la libreria le guarda ogni %n secondi.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) or folder(s) could not be read, the first: %1</source>
        <translation>
            <numerusform>%n file o cartella non si è potuto leggere: %1</numerusform>
            <numerusform>%n file o cartelle non si sono potuti leggere, il primo: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Library - %Ln game(s)</source>
        <translation>
            <numerusform>Libreria - %Ln gioco</numerusform>
            <numerusform>Libreria - %Ln giochi</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Library - %1 of %Ln game(s)</source>
        <translation>
            <numerusform>Libreria - %1 di %Ln gioco</numerusform>
            <numerusform>Libreria - %1 di %Ln giochi</numerusform>
        </translation>
    </message>
    <message>
        <source>Remove a folder from the library</source>
        <translation>Rimuovi una cartella dalla libreria</translation>
    </message>
    <message>
        <source>The folder&apos;s games leave the library; no file is deleted.</source>
        <translation>I giochi della cartella escono dalla libreria; nessun file viene cancellato.</translation>
    </message>
    <message>
        <source>Play with emulator %1</source>
        <translation>Gioca con l&apos;emulatore %1</translation>
    </message>
    <message>
        <source>Play with %1</source>
        <translation>Gioca con %1</translation>
    </message>
    <message>
        <source>Add to the game list</source>
        <translation>Aggiungi alla lista dei giochi</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Preferito</translation>
    </message>
    <message>
        <source>Open the containing folder</source>
        <translation>Apri la cartella che lo contiene</translation>
    </message>
    <message>
        <source>Copy the path</source>
        <translation>Copia il percorso</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Dettagli</translation>
    </message>
    <message numerus="yes">
        <source>%n play(s) not counted yet (%1): counted once the library can be written.</source>
        <translation>
            <numerusform>%n partita non ancora contata (%1): sarà contata quando la libreria potrà essere scritta.</numerusform>
            <numerusform>%n partite non ancora contate (%1): saranno contate quando la libreria potrà essere scritta.</numerusform>
        </translation>
    </message>
    <message>
        <source>Every play is counted.</source>
        <translation>Ogni partita è contata.</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Non ora</translation>
    </message>
    <message>
        <source>Game names…</source>
        <translation>Nomi dei giochi…</translation>
    </message>
    <message>
        <source>Downloading the game names…</source>
        <translation>Download dei nomi dei giochi…</translation>
    </message>
    <message>
        <source>Game names not downloaded: %1</source>
        <translation>Nomi dei giochi non scaricati: %1</translation>
    </message>
    <message>
        <source>Game names downloaded: the games are named again.</source>
        <translation>Nomi dei giochi scaricati: i giochi hanno di nuovo un nome.</translation>
    </message>
    <message>
        <source>The game names are up to date.</source>
        <translation>I nomi dei giochi sono aggiornati.</translation>
    </message>
    <message>
        <source>%1: not downloaded</source>
        <translation>%1: non scaricato</translation>
    </message>
    <message>
        <source>%1: version %2, checked %3</source>
        <translation>%1: versione %2, controllato il %3</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>sconosciuta</translation>
    </message>
    <message>
        <source>Names by No-Intro, via libretro-database.</source>
        <translation>Nomi di No-Intro, tramite libretro-database.</translation>
    </message>
    <message>
        <source>Game names</source>
        <translation>Nomi dei giochi</translation>
    </message>
    <message>
        <source>Download now</source>
        <translation>Scarica ora</translation>
    </message>
    <message>
        <source>Download the game names for Game Boy and Game Boy Color (No-Intro, from libretro-database, about %1 MB)?</source>
        <translation>Scaricare i nomi dei giochi per Game Boy e Game Boy Color (No-Intro, da libretro-database, circa %1 MB)?</translation>
    </message>
    <message>
        <source>A collector&apos;s view of the library</source>
        <translation>Una vista da collezionista della libreria</translation>
    </message>
    <message>
        <source>All games</source>
        <translation>Tutti i giochi</translation>
    </message>
    <message>
        <source>Missing</source>
        <translation>Mancanti</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Doppioni</translation>
    </message>
    <message>
        <source>One per game</source>
        <translation>Uno per gioco</translation>
    </message>
    <message>
        <source>With saves</source>
        <translation>Con salvataggi</translation>
    </message>
    <message>
        <source>Looking for the games you miss…</source>
        <translation>Ricerca dei giochi che ti mancano…</translation>
    </message>
    <message>
        <source>No game database knows a game of the library.</source>
        <translation>Nessun database di giochi conosce un gioco della libreria.</translation>
    </message>
    <message>
        <source>Play time: %1</source>
        <translation>Tempo di gioco: %1</translation>
    </message>
    <message>
        <source>Emulator: %1</source>
        <translation>Emulatore: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n other copy(ies):</source>
        <translation>
            <numerusform>%n altra copia:</numerusform>
            <numerusform>%n altre copie:</numerusform>
        </translation>
    </message>
    <message>
        <source>Save: %1 (%2, %3)</source>
        <translation>Salvataggio: %1 (%2, %3)</translation>
    </message>
    <message numerus="yes">
        <source>%n backup(s) of the save</source>
        <translation>
            <numerusform>%n copia di sicurezza del salvataggio</numerusform>
            <numerusform>%n copie di sicurezza del salvataggio</numerusform>
        </translation>
    </message>
    <message>
        <source>Backing up saves…</source>
        <translation>Copia di sicurezza dei salvataggi…</translation>
    </message>
    <message numerus="yes">
        <source>%n save(s) backed up.</source>
        <translation>
            <numerusform>%n salvataggio copiato.</numerusform>
            <numerusform>%n salvataggi copiati.</numerusform>
        </translation>
    </message>
    <message>
        <source>Every save is backed up already.</source>
        <translation>Ogni salvataggio ha già la sua copia di sicurezza.</translation>
    </message>
    <message>
        <source>The save is put back: %1</source>
        <translation>Il salvataggio è stato ripristinato: %1</translation>
    </message>
    <message>
        <source>Back up the save</source>
        <translation>Copia di sicurezza del salvataggio</translation>
    </message>
    <message>
        <source>Restore a save</source>
        <translation>Ripristina un salvataggio</translation>
    </message>
    <message>
        <source>Back up every save</source>
        <translation>Copia di sicurezza di ogni salvataggio</translation>
    </message>
    <message>
        <source>A save could not be backed up: %1</source>
        <translation>Non è stato possibile copiare un salvataggio: %1</translation>
    </message>
</context>
<context>
    <name>MissingGamesModel</name>
    <message>
        <source>Database</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Missing from your library: no file holds this game.

Name: %1
Region: %2
Size: %3 bytes
CRC32: %4
Database: %5</source>
        <translation>Manca dalla tua libreria: nessun file contiene questo gioco.

Nome: %1
Regione: %2
Dimensione: %3 byte
CRC32: %4
Database: %5</translation>
    </message>
</context>
<context>
    <name>PlainText</name>
    <message>
        <source>%1 characters, too long to edit here: shown cut, kept and saved whole.</source>
        <translation>%1 caratteri, troppi da modificare qui: mostrato tagliato, conservato e salvato per intero.</translation>
    </message>
</context>
<context>
    <name>RomAdding</name>
    <message>
        <source>not a Game Boy ROM</source>
        <translation>non è una ROM Game Boy</translation>
    </message>
    <message>
        <source>the game list cannot hold a name with a line break</source>
        <translation>la lista dei giochi non può contenere un nome con un a capo</translation>
    </message>
    <message>
        <source>the configuration&apos;s games directory changed meanwhile</source>
        <translation>nel frattempo la cartella dei giochi della configurazione è cambiata</translation>
    </message>
    <message>
        <source>the configuration holds more games than its list takes: it is left as it is</source>
        <translation>la configurazione contiene più giochi di quanti la sua lista ne accetti: resta com&apos;è</translation>
    </message>
    <message>
        <source>the game list would hold more than %1 games</source>
        <translation>la lista dei giochi conterrebbe più di %1 giochi</translation>
    </message>
</context>
<context>
    <name>RomFolder</name>
    <message numerus="yes">
        <source>more than %n folder(s) deep</source>
        <translation>
            <numerusform>a più di %n cartella di profondità</numerusform>
            <numerusform>a più di %n cartelle di profondità</numerusform>
        </translation>
    </message>
    <message>
        <source>a link inside a linked folder</source>
        <translation>un collegamento dentro una cartella collegata</translation>
    </message>
</context>
<context>
    <name>ShellRunFile</name>
    <message>
        <source>Cannot start &quot;%1&quot;: %2</source>
        <translation>Impossibile avviare &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>è una cartella</translation>
    </message>
    <message>
        <source>is not executable</source>
        <translation>non è eseguibile</translation>
    </message>
    <message>
        <source>No application is set to open it</source>
        <translation>Nessuna applicazione è impostata per aprirlo</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Vantorix</source>
        <translation>Vantorix</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>Salva la configurazione</translation>
    </message>
    <message>
        <source>Load configuration</source>
        <translation>Carica una configurazione</translation>
    </message>
    <message>
        <source>Edit playlist</source>
        <translation>Modifica la playlist</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Please select a game from the list:</source>
        <translation>Scegli un gioco dalla lista:</translation>
    </message>
    <message>
        <source>--&gt; Launch</source>
        <translation>--&gt; Avvia</translation>
    </message>
    <message>
        <source>(No game selected)</source>
        <translation>(Nessun gioco scelto)</translation>
    </message>
    <message>
        <source>Games directory</source>
        <translation>Cartella dei giochi</translation>
    </message>
    <message>
        <source>Emulators directory</source>
        <translation>Cartella degli emulatori</translation>
    </message>
    <message>
        <source>info</source>
        <translation>info</translation>
    </message>
    <message>
        <source>Click on &quot;Launch&quot; and select a ROM.</source>
        <translation>Fai clic su &quot;Avvia&quot; e scegli una ROM.</translation>
    </message>
    <message>
        <source>Config files (*.cfg *.ini)|*.cfg *.ini|All files (*.*)|*.*</source>
        <translation>File di configurazione (*.cfg *.ini)|*.cfg *.ini|Tutti i file (*.*)|*.*</translation>
    </message>
    <message>
        <source>Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|All files (*.*)|*.*</source>
        <translation>ROM Game Boy (*.gb)|*.gb|ROM Game Boy Color (*.gbc)|*.gbc|Tutti i file (*.*)|*.*</translation>
    </message>
    <message>
        <source>Folder not found: </source>
        <translation>Cartella non trovata: </translation>
    </message>
    <message>
        <source>File not found: </source>
        <translation>File non trovato: </translation>
    </message>
    <message>
        <source>User selection: </source>
        <translation>Scelta dell&apos;utente: </translation>
    </message>
    <message>
        <source>Find a game</source>
        <translation>Cerca un gioco</translation>
    </message>
    <message>
        <source>The game&apos;s file name holds a NUL character and names no file</source>
        <translation>Il nome del file del gioco contiene un carattere NUL e non indica alcun file</translation>
    </message>
    <message numerus="yes">
        <source>%1 holds %n more game(s) than the list takes (%2): they were not loaded, and saving over the file would lose them.</source>
        <translation>
            <numerusform>%1 contiene %n gioco in più di quanti la lista ne accolga (%2): non è stato caricato, e salvando sopra il file andrebbe perso.</numerusform>
            <numerusform>%1 contiene %n giochi in più di quanti la lista ne accolga (%2): non sono stati caricati, e salvando sopra il file andrebbero persi.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 holds %n game(s) more than the list takes. Saving over it loses them.

Save anyway?</source>
        <translation>
            <numerusform>%1 contiene %n gioco in più di quanti la lista ne accolga. Salvando sopra il file andrebbe perso.

Salvare comunque?</numerusform>
            <numerusform>%1 contiene %n giochi in più di quanti la lista ne accolga. Salvando sopra il file andrebbero persi.

Salvare comunque?</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantorix v%1 - DON&apos;T use ROMS if you DON&apos;T own the original cartridges!</source>
        <translation>Vantorix v%1 - NON usare ROM se NON possiedi le cartucce originali!</translation>
    </message>
    <message>
        <source>the configuration</source>
        <translation>la configurazione</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Salvare le modifiche in %1?</translation>
    </message>
    <message>
        <source>Not a game database (line %1: %2)</source>
        <translation>Non è un database di giochi (riga %1: %2)</translation>
    </message>
    <message>
        <source>No emulator is set in slot 2 of the configuration</source>
        <translation>Nessun emulatore è impostato nel posto 2 della configurazione</translation>
    </message>
    <message numerus="yes">
        <source>%n game(s)</source>
        <translation>
            <numerusform>%n gioco</numerusform>
            <numerusform>%n giochi</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n game(s)</source>
        <translation>
            <numerusform>%1 di %n gioco</numerusform>
            <numerusform>%1 di %n giochi</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ROM(s)</source>
        <translation>
            <numerusform>%n ROM</numerusform>
            <numerusform>%n ROM</numerusform>
        </translation>
    </message>
    <message>
        <source>Game database %1 added: %2</source>
        <translation>Database di giochi %1 aggiunto: %2</translation>
    </message>
    <message>
        <source>Pictures of games added from %1</source>
        <translation>Immagini dei giochi aggiunte da %1</translation>
    </message>
    <message>
        <source>Not a game database (%1)</source>
        <translation>Non è un database di giochi (%1)</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was loaded. Saving over it loses that change.

Save anyway?</source>
        <translation>%1 è stato modificato da un altro programma dopo il caricamento. Salvandoci sopra, quella modifica va persa.

Salvare comunque?</translation>
    </message>
    <message>
        <source>Library</source>
        <translation>Libreria</translation>
    </message>
    <message>
        <source>MAX ROMS: %1</source>
        <translation>MASSIMO DI ROM: %1</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Ok!</source>
        <translation>Ok!</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>Create your own playlist!</source>
        <translation>Crea la tua playlist!</translation>
    </message>
    <message>
        <source> Available games:</source>
        <translation> Giochi disponibili:</translation>
    </message>
    <message>
        <source> Your playlist:</source>
        <translation> La tua playlist:</translation>
    </message>
    <message>
        <source>Import ...</source>
        <translation>Importa ...</translation>
    </message>
    <message>
        <source>&gt;&gt; Add</source>
        <translation>&gt;&gt; Aggiungi</translation>
    </message>
    <message>
        <source>&gt;&gt; Add all</source>
        <translation>&gt;&gt; Aggiungi tutti</translation>
    </message>
    <message>
        <source>&lt;&lt; Remove</source>
        <translation>&lt;&lt; Rimuovi</translation>
    </message>
    <message>
        <source>&lt;&lt; Remove all</source>
        <translation>&lt;&lt; Rimuovi tutti</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Ok!</source>
        <translation>Ok!</translation>
    </message>
    <message>
        <source>To create your personal ROM list, select the title that appear in the left list and press the &quot;Add&quot; button to put it in to the list on </source>
        <translation>Per creare la tua lista di ROM, scegli un titolo nella lista di sinistra e premi il pulsante &quot;Aggiungi&quot; per metterlo nella lista di </translation>
    </message>
    <message>
        <source>the right.</source>
        <translation>destra.</translation>
    </message>
    <message>
        <source>When you have finished, press Cancel or Ok to confirm.</source>
        <translation>Quando hai finito, premi Annulla per annullare o Ok! per confermare.</translation>
    </message>
    <message>
        <source>MAX ROMS: %1</source>
        <translation>MASSIMO DI ROM: %1</translation>
    </message>
    <message>
        <source> Max ROMs for the playlist: %1</source>
        <translation> Massimo di ROM per la playlist: %1</translation>
    </message>
    <message numerus="yes">
        <source>The playlist is empty: the game list of %n game(s) would be emptied. Empty it?</source>
        <translation>
            <numerusform>La playlist è vuota: la lista di %n gioco verrebbe svuotata. Svuotarla?</numerusform>
            <numerusform>La playlist è vuota: la lista di %n giochi verrebbe svuotata. Svuotarla?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ROM(s)</source>
        <translation>
            <numerusform>%n ROM</numerusform>
            <numerusform>%n ROM</numerusform>
        </translation>
    </message>
    <message>
        <source>%v of %m games in the playlist</source>
        <translation>%v di %m giochi nella playlist</translation>
    </message>
    <message numerus="yes">
        <source>The playlist holds at most %n game(s)</source>
        <translation>
            <numerusform>La playlist contiene al massimo %n gioco</numerusform>
            <numerusform>La playlist contiene al massimo %n giochi</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>Visit the official site:</source>
        <translation>Visita il sito ufficiale:</translation>
    </message>
    <message>
        <source>Ok!</source>
        <translation>Ok!</translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message>
        <source>ROMS reader</source>
        <translation>Lettore di ROM</translation>
    </message>
    <message>
        <source>Files that cannot be read stay greyed: rest on one to see why.</source>
        <translation>I file illeggibili restano in grigio: passaci sopra per sapere perché.</translation>
    </message>
    <message>
        <source>The best file lenght for this reader is the ISO Level 1 (max of 11= 8+3 chars).</source>
        <translation>Nomi ideali per questo lettore: ISO Livello 1 (max 11 = 8+3 caratteri).</translation>
    </message>
    <message>
        <source>&gt;&gt; Add all</source>
        <translation>&gt;&gt; Aggiungi tutti</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) could not be read:</source>
        <translation>
            <numerusform>Non è stato possibile leggere %n file:</numerusform>
            <numerusform>Non è stato possibile leggere %n file:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) that could not be read were left out.</source>
        <translation>
            <numerusform>%n file che non è stato possibile leggere è stato escluso.</numerusform>
            <numerusform>%n file che non è stato possibile leggere sono stati esclusi.</numerusform>
        </translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Includi sottocartelle</translation>
    </message>
    <message>
        <source>All ROMS (*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z)|*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z|Gameboy ROMS (*.gb)|*.gb|Gameboy Color ROMS (*.gbc)|*.gbc|All files (*.*)|*.*|Zipped ROMS (*.zip;*.7z)|*.zip;*.7z</source>
        <translation>Tutte le ROM (*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z)|*.gb;*.gbc;*.cgb;*.sgb;*.zip;*.7z|ROM Game Boy (*.gb)|*.gb|ROM Game Boy Color (*.gbc)|*.gbc|Tutti i file (*.*)|*.*|ROM compresse (*.zip;*.7z)|*.zip;*.7z</translation>
    </message>
    <message>
        <source>Names from game databases</source>
        <translation>Nomi dai database di giochi</translation>
    </message>
    <message numerus="yes">
        <source>%n game database(s) could not be read:</source>
        <translation>
            <numerusform>Non è stato possibile leggere %n database di giochi:</numerusform>
            <numerusform>Non è stato possibile leggere %n database di giochi:</numerusform>
        </translation>
    </message>
    <message>
        <source>%v of %m files read</source>
        <translation>%v di %m file letti</translation>
    </message>
    <message>
        <source>The hash cache is held by another program: what was read is not kept.</source>
        <translation>La cache degli hash è occupata da un altro programma: ciò che è stato letto non viene conservato.</translation>
    </message>
    <message numerus="yes">
        <source>Games left out of %n game database(s):</source>
        <translation>
            <numerusform>Giochi esclusi da %n database di giochi:</numerusform>
            <numerusform>Giochi esclusi da %n database di giochi:</numerusform>
        </translation>
    </message>
    <message>
        <source>Type or paste a folder and press Return to open it</source>
        <translation>Scrivi o incolla una cartella e premi Invio per aprirla</translation>
    </message>
    <message>
        <source>%1 cannot be written: your choice holds until the program ends.</source>
        <translation>Impossibile scrivere %1: la scelta vale fino alla chiusura del programma.</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) not read yet were left out.</source>
        <translation>
            <numerusform>%n file non ancora letto è stato escluso.</numerusform>
            <numerusform>%n file non ancora letti sono stati esclusi.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n game(s) already in the list were not added again.</source>
        <translation>
            <numerusform>%n gioco già nella lista non è stato aggiunto di nuovo.</numerusform>
            <numerusform>%n giochi già nella lista non sono stati aggiunti di nuovo.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>kelpad</name>
    <message>
        <source>not enough memory</source>
        <translation>memoria insufficiente</translation>
    </message>
    <message>
        <source>the output cannot be written: %1</source>
        <translation>l&apos;uscita non può essere scritta: %1</translation>
    </message>
    <message>
        <source>the window program cannot be started: %1</source>
        <translation>impossibile avviare il programma delle finestre: %1</translation>
    </message>
    <message numerus="yes">
        <source>only the first %n file(s) are listed</source>
        <translation>
            <numerusform>viene elencato solo il primo file</numerusform>
            <numerusform>vengono elencati solo i primi %n file</numerusform>
        </translation>
    </message>
    <message>
        <source>game database skipped: %1</source>
        <translation>database di giochi tralasciato: %1</translation>
    </message>
    <message>
        <source>games left out of a game database: %1</source>
        <translation>giochi esclusi da un database di giochi: %1</translation>
    </message>
    <message>
        <source>the hash cache is held by another program: what was read is not kept</source>
        <translation>la cache degli hash è occupata da un altro programma: ciò che è stato letto non viene conservato</translation>
    </message>
    <message>
        <source>no configuration to add the games to: load or save one in the main window first</source>
        <translation>nessuna configurazione a cui aggiungere i giochi: caricane o salvane prima una nella finestra principale</translation>
    </message>
    <message numerus="yes">
        <source>%n game(s) added to %1
</source>
        <translation>
            <numerusform>%n gioco aggiunto a %1
</numerusform>
            <numerusform>%n giochi aggiunti a %1
</numerusform>
        </translation>
    </message>
    <message>
        <source>already in the list</source>
        <translation>già nella lista</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>non è una cartella</translation>
    </message>
    <message>
        <source>added to the library</source>
        <translation>aggiunta alla libreria</translation>
    </message>
    <message>
        <source>already in the library</source>
        <translation>già nella libreria</translation>
    </message>
    <message>
        <source>taken out of the library</source>
        <translation>tolta dalla libreria</translation>
    </message>
    <message>
        <source>not in the library</source>
        <translation>non è nella libreria</translation>
    </message>
    <message>
        <source>%1: downloaded</source>
        <translation>%1: scaricato</translation>
    </message>
    <message>
        <source>Game names not downloaded: %1</source>
        <translation>Nomi dei giochi non scaricati: %1</translation>
    </message>
    <message>
        <source>%1: no game database of that name</source>
        <translation>%1: nessun database di giochi con questo nome</translation>
    </message>
    <message numerus="yes">
        <source>%n save(s) backed up
</source>
        <translation>
            <numerusform>%n salvataggio copiato
</numerusform>
            <numerusform>%n salvataggi copiati
</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vantorix</name>
    <message>
        <source>not a game database (line %1: %2)</source>
        <translation>non è un database di giochi (riga %1: %2)</translation>
    </message>
    <message>
        <source>not the database of %1</source>
        <translation>non è il database di %1</translation>
    </message>
    <message>
        <source>only %1 games listed</source>
        <translation>solo %1 giochi elencati</translation>
    </message>
</context>
</TS>
