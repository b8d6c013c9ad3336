#pragma once

#include "library/LibraryScan.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace vantorix {

class GameDatabase;

// A game a database lists and no file of the library holds.
struct MissingGame {
    QString name;
    QString region;
    qint64 size = 0;
    quint32 crc32 = 0;
    QString database;  // as --info shows it: "Nintendo - Game Boy (20240101-000000)"
};

// What a database's audit found: how many of its games the library holds.
struct DatabaseAudit {
    QString database;
    int have = 0;
    int total = 0;
};

struct LibraryAudit {
    std::vector<DatabaseAudit> databases;  // those that know a file of the library, in their order
    std::vector<MissingGame> missing;      // of those databases, sorted by name
};

// The library's games against the databases, by the CRC32 and size of each
// ROM itself (an archive by the ROM it holds). A game of several ROMs is
// held when each is. Only databases that know at least one file of the
// library are audited; databaseText, when set, audits that one alone.
// contents: every game's key (LibraryGame::content()), invalid ones left out.
LibraryAudit auditLibrary(const std::vector<RomKey> &contents, const GameDatabase &database,
                          const QString &databaseText = QString());

// The missing games for scripts: a header line "name region size crc32
// database", then a line a game, tab-separated.
QByteArray missingGamesText(const std::vector<MissingGame> &missing);
// "Nintendo - Game Boy (…): have 120 of 1,640"
QString auditLine(const DatabaseAudit &audit);

}  // namespace vantorix
