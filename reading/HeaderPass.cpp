#include "reading/HeaderPass.h"

#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "reading/GameNaming.h"
#include "rom/HeadReader.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"

#include <optional>

namespace vantorix {

QByteArray EntryList::fileName(int index) const
{
    return encodePath(text(index));
}

QSet<QString> caseTwins(const QStringList &names)
{
    // Sorted without regard to case, twins stand side by side: comparing
    // neighbours costs no allocation, folding every name would.
    QSet<QString> twins;
    for (qsizetype i = 1; i < names.size(); ++i)
        if (!names.at(i).isEmpty() && names.at(i).compare(names.at(i - 1), Qt::CaseInsensitive) == 0)
            twins.insert(names.at(i).toCaseFolded());
    return twins;
}

QSet<QString> caseTwins(const std::vector<QByteArray> &names)
{
    const auto shown = [](const QByteArray &name) { return displayPath(decodePath(name)); };
    QSet<QString> twins;
    for (size_t i = 1; i < names.size(); ++i) {
        const QByteArray &name = names[i];
        const QByteArray &before = names[i - 1];
        if (name.isEmpty())
            continue;
        const bool same = isAscii(name) && isAscii(before)
                              ? name.compare(before, Qt::CaseInsensitive) == 0
                              : shown(name).compare(shown(before), Qt::CaseInsensitive) == 0;
        if (same)
            twins.insert(shown(name).toCaseFolded());
    }
    return twins;
}

QString entryNameFor(const QString &shownName, const QSet<QString> &twins)
{
    if (!twins.isEmpty() && twins.contains(shownName.toCaseFolded()))
        return shownName.trimmed();
    return entryFileName(shownName);
}

std::vector<HeaderPassFailure> runHeaderPass(EntryList &list, const RomFolder &folder,
                                             const std::function<void(const QString &)> &progress,
                                             const QString &namePrefix, Catalogue *names, int cacheWaitMs,
                                             bool *cacheBusy, Executor *executor)
{
    const int count = list.count();
    QStringList shownNames;
    shownNames.reserve(count);
    for (int i = 0; i < count; ++i)
        shownNames.append(list.isConverted(i) ? QString() : displayPath(list.text(i)));
    const QSet<QString> twins = caseTwins(shownNames);

    // The items to read: an entry contains "(" and ")" and is no file name
    // in the folder; an empty name or a name with a folder part is not an
    // item either.
    std::vector<int> rows;
    std::vector<QByteArray> files;
    std::vector<QString> entryNames;
    for (int i = 0; i < count; ++i) {
        if (list.isConverted(i))
            continue;
        QString own = list.entryName(i);
        const QString name = list.text(i);
        if (own.isEmpty() && (name.isEmpty() || name.contains(QLatin1Char('/'))))
            continue;
        rows.push_back(i);
        files.push_back(list.fileName(i));
        entryNames.push_back(std::move(own));
    }

    std::vector<HeaderPassFailure> failures;
    std::optional<GameNaming> naming;
    if (names && !rows.empty())
        naming.emplace(*names, folder.fd(), cacheWaitMs);
    HeadReader reader(folder.fd(), files, executor, HeadReader::defaultThreads(), naming ? naming->knownKeys() : nullptr);
    for (size_t k = 0; k < rows.size() && !list.cancelled(); ++k) {
        const int i = rows[k];
        HeadResult read = reader.take(k);
        const QString &shown = shownNames.at(i);
        try {
            if (read.error)
                throw *read.error;
            if (!read.regular)
                continue;
            if (progress)
                progress(upperCaseLetterwise(shown));
            const QString &own = entryNames[k];
            const QString entryName = namePrefix + (own.isEmpty() ? entryNameFor(shown, twins) : own);
            QString entry = entryFromHeadNamed(read.head, read.size, entryName, shown);
            if (const KnownGame *game = naming ? naming->gameOf(read) : nullptr)
                entry = composeEntry(entryTitleOfGame(game->name), entryName);
            list.setText(i, entry);
        } catch (const IoError &error) {
            list.setFailed(i, error.text());
            failures.push_back({i, list.text(i), error});
        }
    }
    if (naming)
        naming->rememberKeys();
    if (cacheBusy)
        *cacheBusy = naming && naming->cacheBusy();
    return failures;
}

std::vector<HeaderPassFailure> runHeaderPass(EntryList &list, const QString &folder,
                                             const std::function<void(const QString &)> &progress,
                                             Executor *executor)
{
    const RomFolder opened(folder);
    return runHeaderPass(list, opened, progress, QString(), nullptr, 200, nullptr, executor);
}

}  // namespace vantorix
