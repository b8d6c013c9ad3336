#include "library/LibraryAudit.h"

#include "names/GameDatabase.h"
#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace vantorix {

namespace {

// A field that can forge no other field or line.
QByteArray fieldOf(const QString &text)
{
    return withoutControlCharacters(text).toUtf8();
}

}  // namespace

LibraryAudit auditLibrary(const std::vector<RomKey> &contents, const GameDatabase &database,
                          const QString &databaseText)
{
    QSet<std::pair<quint32, qint64>> held;
    held.reserve(qsizetype(contents.size()));
    for (const RomKey &key : contents)
        if (key.isValid())
            held.insert({key.crc32, key.size});

    // Games by database and name: a game is held when each of its ROMs is.
    struct Game {
        const ListedRom *first = nullptr;
        bool held = true;
    };
    const int databases = database.databaseCount();
    std::vector<QHash<QString, Game>> games(size_t(qMax(databases, 0)));
    std::vector<bool> knowsOne(games.size(), false);
    for (const ListedRom &rom : database.listedRoms()) {
        if (rom.database < 0 || rom.database >= databases)
            continue;
        const bool isHeld = held.contains({rom.crc32, rom.size});
        Game &game = games[size_t(rom.database)][rom.game];
        if (!game.first)
            game.first = &rom;
        game.held = game.held && isHeld;
        if (isHeld)
            knowsOne[size_t(rom.database)] = true;
    }

    LibraryAudit audit;
    for (int index = 0; index < databases; ++index) {
        const QString text = database.databaseText(index);
        if (databaseText.isEmpty() ? !knowsOne[size_t(index)] : text != databaseText)
            continue;
        DatabaseAudit counts{text, 0, int(games[size_t(index)].size())};
        for (auto it = games[size_t(index)].cbegin(); it != games[size_t(index)].cend(); ++it) {
            if (it->held) {
                ++counts.have;
                continue;
            }
            const ListedRom &rom = *it->first;
            audit.missing.push_back({rom.game, regionOfName(rom.game), rom.size, rom.crc32, text});
        }
        audit.databases.push_back(counts);
    }
    std::sort(audit.missing.begin(), audit.missing.end(), [](const MissingGame &a, const MissingGame &b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        if (byName != 0)
            return byName < 0;
        return a.name != b.name ? a.name < b.name : a.database < b.database;
    });
    return audit;
}

QByteArray missingGamesText(const std::vector<MissingGame> &missing)
{
    QByteArray out = "name\tregion\tsize\tcrc32\tdatabase\n";
    out.reserve(out.size() + qsizetype(missing.size()) * 96);
    for (const MissingGame &game : missing) {
        out += fieldOf(game.name);
        out += '\t';
        out += fieldOf(game.region);
        out += '\t';
        out += QByteArray::number(game.size);
        out += '\t';
        out += QByteArray::number(game.crc32, 16).rightJustified(8, '0');
        out += '\t';
        out += fieldOf(game.database);
        out += '\n';
    }
    return out;
}

QString auditLine(const DatabaseAudit &audit)
{
    const QLocale locale;
    return QCoreApplication::translate("LibraryAudit", "%1: have %2 of %3")
        .arg(withoutControlCharacters(audit.database), locale.toString(audit.have), locale.toString(audit.total));
}

}  // namespace vantorix
