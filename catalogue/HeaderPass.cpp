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

void runHeaderPass(EntryList &list, const RomFolder &folder,
                   const std::function<void(const QString &)> &progress)
{
    const int count = list.count();
    QByteArray head;
    for (int i = 0; i < count; ++i) {
        if (list.isConverted(i))
            continue;
        const QString name = list.text(i);
        // An entry contains "(" and ")" and is no file name in the folder;
        // an empty name or a name with a folder part is not an item either.
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            continue;
        const QString shown = displayPath(name);
        try {
            qint64 size = 0;
            if (!readRomHead(folder.fd(), list.fileName(i), &head, &size))
                continue;
            if (progress)
                progress(upperCaseLetterwise(shown));
            list.setText(i, entryFromHead(head, size, shown));
        } catch (const IoError &error) {
            throw HeaderPassError(error, i, name);
        }
    }
}

void runHeaderPass(EntryList &list, const QString &folder,
                   const std::function<void(const QString &)> &progress)
{
    const RomFolder opened(folder);
    runHeaderPass(list, opened, progress);
}

}  // namespace vantorix
