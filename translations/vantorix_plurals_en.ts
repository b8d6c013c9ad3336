<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CartridgeDetails</name>
    <message numerus="yes">
        <source>Archive entry: %1 (the first of %n ROMs)</source>
        <translation>
            <numerusform>Archive entry: %1 (the first of %n ROM)</numerusform>
            <numerusform>Archive entry: %1 (the first of %n ROMs)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Archive entry: %1 (the first of %n ROMs or more)</source>
        <translation>
            <numerusform>Archive entry: %1 (the first of %n ROM or more)</numerusform>
            <numerusform>Archive entry: %1 (the first of %n ROMs or more)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DatReader</name>
    <message numerus="yes">
        <source>CRC of %n digit(s)</source>
        <translation>
            <numerusform>CRC of %n digit</numerusform>
            <numerusform>CRC of %n digits</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileListBox</name>
    <message numerus="yes">
        <source>Only the first %n file(s) are listed.</source>
        <translation>
            <numerusform>Only the first file is listed.</numerusform>
            <numerusform>Only the first %n files are listed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) left out:</source>
        <translation>
            <numerusform>%n folder left out:</numerusform>
            <numerusform>%n folders left out:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GameDatabase</name>
    <message numerus="yes">
        <source> (%n game(s))</source>
        <translation>
            <numerusform> (%n game)</numerusform>
            <numerusform> (%n games)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryChanges</name>
    <message numerus="yes">
        <source>%1: %n play(s) could not be counted</source>
        <translation>
            <numerusform>%1: %n play could not be counted</numerusform>
            <numerusform>%1: %n plays could not be counted</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LibraryWindow</name>
    <message numerus="yes">
        <source>Too many folders to watch: the library looks at them every %n second(s).</source>
        <translation>
            <numerusform>Too many folders to watch: the library looks at them every second.</numerusform>
            <numerusform>Too many folders to watch: the library looks at them every %n seconds.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) or folder(s) could not be read, the first: %1</source>
        <translation>
            <numerusform>%n file or folder could not be read: %1</numerusform>
            <numerusform>%n files or folders could not be read, the first: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Library - %Ln game(s)</source>
        <translation>
            <numerusform>Library - %Ln game</numerusform>
            <numerusform>Library - %Ln games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Library - %1 of %Ln game(s)</source>
        <translation>
            <numerusform>Library - %1 of %Ln game</numerusform>
            <numerusform>Library - %1 of %Ln games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n play(s) not counted yet (%1): counted once the library can be written.</source>
        <translation>
            <numerusform>%n play not counted yet (%1): counted once the library can be written.</numerusform>
            <numerusform>%n plays not counted yet (%1): counted once the library can be written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other copy(ies):</source>
        <translation>
            <numerusform>%n other copy:</numerusform>
            <numerusform>%n other copies:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n backup(s) of the save</source>
        <translation>
            <numerusform>%n backup of the save</numerusform>
            <numerusform>%n backups of the save</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n save(s) backed up.</source>
        <translation>
            <numerusform>%n save backed up.</numerusform>
            <numerusform>%n saves backed up.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RomFolder</name>
    <message numerus="yes">
        <source>more than %n folder(s) deep</source>
        <translation>
            <numerusform>more than %n folder deep</numerusform>
            <numerusform>more than %n folders deep</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message numerus="yes">
        <source>%1 holds %n more game(s) than the list takes (%2): they were not loaded, and saving over the file would lose them.</source>
        <translation>
            <numerusform>%1 holds %n more game than the list takes (%2): it was not loaded, and saving over the file would lose it.</numerusform>
            <numerusform>%1 holds %n more games than the list takes (%2): they were not loaded, and saving over the file would lose them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 holds %n game(s) more than the list takes. Saving over it loses them.

Save anyway?</source>
        <translation>
            <numerusform>%1 holds %n game more than the list takes. Saving over it loses it.

Save anyway?</numerusform>
            <numerusform>%1 holds %n games more than the list takes. Saving over it loses them.

Save anyway?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n game(s)</source>
        <translation>
            <numerusform>%n game</numerusform>
            <numerusform>%n games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n game(s)</source>
        <translation>
            <numerusform>%1 of %n game</numerusform>
            <numerusform>%1 of %n games</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ROM(s)</source>
        <translation>
            <numerusform>%n ROM</numerusform>
            <numerusform>%n ROMs</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message numerus="yes">
        <source>The playlist is empty: the game list of %n game(s) would be emptied. Empty it?</source>
        <translation>
            <numerusform>The playlist is empty: the game list of %n game would be emptied. Empty it?</numerusform>
            <numerusform>The playlist is empty: the game list of %n games would be emptied. Empty it?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ROM(s)</source>
        <translation>
            <numerusform>%n ROM</numerusform>
            <numerusform>%n ROMs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The playlist holds at most %n game(s)</source>
        <translation>
            <numerusform>The playlist holds at most %n game</numerusform>
            <numerusform>The playlist holds at most %n games</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message numerus="yes">
        <source>%n file(s) could not be read:</source>
        <translation>
            <numerusform>%n file could not be read:</numerusform>
            <numerusform>%n files could not be read:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) that could not be read were left out.</source>
        <translation>
            <numerusform>%n file that could not be read was left out.</numerusform>
            <numerusform>%n files that could not be read were left out.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n game database(s) could not be read:</source>
        <translation>
            <numerusform>%n game database could not be read:</numerusform>
            <numerusform>%n game databases could not be read:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Games left out of %n game database(s):</source>
        <translation>
            <numerusform>Games left out of %n game database:</numerusform>
            <numerusform>Games left out of %n game databases:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) not read yet were left out.</source>
        <translation>
            <numerusform>%n file not read yet was left out.</numerusform>
            <numerusform>%n files not read yet were left out.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n game(s) already in the list were not added again.</source>
        <translation>
            <numerusform>%n game already in the list was not added again.</numerusform>
            <numerusform>%n games already in the list were not added again.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>kelpad</name>
    <message numerus="yes">
        <source>only the first %n file(s) are listed</source>
        <translation>
            <numerusform>only the first file is listed</numerusform>
            <numerusform>only the first %n files are listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n game(s) added to %1
</source>
        <translation>
            <numerusform>%n game added to %1
</numerusform>
            <numerusform>%n games added to %1
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n save(s) backed up
</source>
        <translation>
            <numerusform>%n save backed up
</numerusform>
            <numerusform>%n saves backed up
</numerusform>
        </translation>
    </message>
</context>
</TS>
