#include "library/GameVariants.h"


#include <algorithm>

namespace vantorix {

namespace {

bool isArchive(const QString &path)
{
    return path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)
           || path.endsWith(QLatin1String(".7z"), Qt::CaseInsensitive);
}

// Where the best of a name's regions stands in order ("USA, Europe" stands
// where Europe does, for whom Europe comes first); regions not in order
// after all.
int regionRank(const QString &region, const QStringList &order)
{
    int best = int(order.size());
    for (const QStringView part : QStringView(region).split(QLatin1Char(','))) {
        const QStringView name = part.trimmed();
        for (int i = 0; i < best; ++i)
            if (name.compare(order.at(i), Qt::CaseInsensitive) == 0)
                best = i;
    }
    return best;
}

}  // namespace

QStringList defaultRegionOrder(const QString &language)
{
    if (language.startsWith(QLatin1String("it")))
        return {QStringLiteral("Europe"), QStringLiteral("World"), QStringLiteral("USA"), QStringLiteral("Japan")};
    return {QStringLiteral("World"), QStringLiteral("USA"), QStringLiteral("Europe"), QStringLiteral("Japan")};
}

QString gameOfName(const QString &name)
{
    const qsizetype open = name.indexOf(QLatin1String(" ("));
    return (open < 0 ? name : name.left(open)).trimmed().toCaseFolded();
}

int revisionOfName(const QString &name)
{
    // Most names have none: looked for plainly, 100,000 a pass.
    const qsizetype at = name.indexOf(QLatin1String("(Rev "));
    if (at < 0)
        return 0;
    const qsizetype close = name.indexOf(QLatin1Char(')'), at);
    if (close < 0)
        return 0;
    const QStringView which = QStringView(name).mid(at + 5, close - at - 5);
    bool number = false;
    const int value = which.toInt(&number);
    if (number)
        return value;
    return which.size() == 1 && which.at(0) >= QLatin1Char('A') && which.at(0) <= QLatin1Char('Z')
               ? which.at(0).unicode() - 'A' + 1
               : 0;
}

std::vector<int> onePerGame(const std::vector<GameVariant> &games, const QStringList &regionOrder)
{
    struct Rank {
        int region;
        int revision;
        bool verified;
        bool archive;
    };
    std::vector<Rank> ranks;
    ranks.reserve(games.size());
    for (const GameVariant &game : games)
        ranks.push_back({regionRank(game.verified ? regionOfName(game.name) : QString(), regionOrder),
                         revisionOfName(game.name), game.verified, isArchive(game.path)});
    const auto better = [&](int a, int b) {
        const Rank &x = ranks[size_t(a)], &y = ranks[size_t(b)];
        if (x.region != y.region)
            return x.region < y.region;
        if (x.revision != y.revision)
            return x.revision > y.revision;
        if (x.verified != y.verified)
            return x.verified;
        if (x.archive != y.archive)
            return !x.archive;
        return games[size_t(a)].path < games[size_t(b)].path;  // the same each time
    };
    QHash<QString, int> chosen;
    chosen.reserve(qsizetype(games.size()));
    for (int i = 0; i < int(games.size()); ++i) {
        const QString game = gameOfName(games[size_t(i)].name);
        const auto it = chosen.find(game);
        if (it == chosen.end())
            chosen.insert(game, i);
        else if (better(i, *it))
            *it = i;
    }
    std::vector<int> rows;
    rows.reserve(size_t(chosen.size()));
    for (const int row : std::as_const(chosen))
        rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace vantorix
