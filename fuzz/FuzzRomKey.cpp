// ROM key and file-name extraction: any entry text gives a key of 11
// characters without spaces inside, and an entry composed from a title and
// a name gives that name back.
#include "rom/GameListEntry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString entry = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString key = vantorix::ExtractRomKey(entry);
    if (key.size() < 11 && entry.size() >= 12)
        std::abort();
    const QString name = vantorix::romFileName(entry);
    (void)vantorix::isUserSelection(entry);
    (void)vantorix::selectionLine(entry);
    (void)vantorix::joinRomPath(QStringLiteral("/roms/"), name);

    // A title without parentheses and a name of up to 11 characters without
    // spaces at its ends survive composition.
    const qsizetype split = entry.indexOf(QLatin1Char('|'));
    if (split < 0)
        return 0;
    const QString title = entry.left(split).left(vantorix::kTitleWidth);
    const QString fileName = entry.mid(split + 1).trimmed().left(vantorix::kNameWidth).trimmed();
    if (fileName.isEmpty() || title.contains(QLatin1Char('(')) || title.contains(QLatin1Char(')'))
        || fileName.contains(QLatin1Char('\n')) || title.contains(QLatin1Char('\n')))
        return 0;
    const QString composed = vantorix::composeEntry(title, fileName);
    if (vantorix::romFileName(composed) != fileName)
        std::abort();
    return 0;
}
