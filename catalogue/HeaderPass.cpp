#include "catalogue/HeaderPass.h"

#include "catalogue/RomHeader.h"

namespace vantorix {

void runHeaderPass(EntryList &list, const QString &folder,
                   const std::function<void(const QString &)> &progress)
{
    const int count = list.count();
    const QString prefix = folder.isEmpty() || folder.endsWith(QLatin1Char('/'))
                               ? folder : folder + QLatin1Char('/');
    for (int i = 0; i < count; ++i) {
        const QString name = list.text(i);
        // An entry contains "(" and ")" and is no file name in the folder;
        // an empty name or a name with a folder part is not an item either.
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            continue;
        const QString path = prefix + name;
        if (!isRegularFile(path))
            continue;
        try {
            list.setText(i, readRomEntry(path, name, progress));
        } catch (const IoError &error) {
            throw HeaderPassError(error, i, name);
        }
    }
}

}  // namespace vantorix
