#include "catalogue/HeaderPass.h"

#include "app/FilePath.h"
#include "app/GameListEntry.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"

namespace vantorix {

QByteArray EntryList::fileName(int index) const
{
    return encodePath(text(index));
}

QSet<QString> caseTwins(const QStringList &names)
{
    QSet<QString> seen;
    QSet<QString> twins;
    for (const QString &name : names) {
        const QString folded = name.toCaseFolded();
        if (seen.contains(folded))
            twins.insert(folded);
        else
            seen.insert(folded);
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
                                             const QString &namePrefix)
{
    const int count = list.count();
    QStringList shownNames;
    shownNames.reserve(count);
    for (int i = 0; i < count; ++i)
        shownNames.append(list.isConverted(i) ? QString() : displayPath(list.text(i)));
    const QSet<QString> twins = caseTwins(shownNames);

    std::vector<HeaderPassFailure> failures;
    QByteArray head;
    for (int i = 0; i < count; ++i) {
        if (list.isConverted(i))
            continue;
        const QString name = list.text(i);
        // An entry contains "(" and ")" and is no file name in the folder;
        // an empty name or a name with a folder part is not an item either.
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            continue;
        const QString &shown = shownNames.at(i);
        try {
            qint64 size = 0;
            if (!readRomHead(folder.fd(), list.fileName(i), &head, &size))
                continue;
            if (progress)
                progress(upperCaseLetterwise(shown));
            list.setText(i, entryFromHeadNamed(head, size, entryNameFor(namePrefix + shown, twins)));
        } catch (const IoError &error) {
            list.setFailed(i, error.text());
            failures.push_back({i, name, error});
        }
    }
    return failures;
}

std::vector<HeaderPassFailure> runHeaderPass(EntryList &list, const QString &folder,
                                             const std::function<void(const QString &)> &progress)
{
    const RomFolder opened(folder);
    return runHeaderPass(list, opened, progress);
}

}  // namespace vantorix
