#include "library/LibraryKeys.h"

#include "platform/FilePath.h"

namespace vantorix {

QByteArray naturalKey(const QString &text)
{
    const QString folded = text.toCaseFolded();
    QString key;
    key.reserve(folded.size() + 16);
    for (qsizetype i = 0; i < folded.size();) {
        if (!folded.at(i).isDigit()) {
            key += folded.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < folded.size() && folded.at(end).isDigit())
            ++end;
        // Numbers compare by value: padded to one width.
        const QStringView digits = QStringView(folded).mid(i, end - i);
        if (digits.size() < 10)
            key += QString(10 - digits.size(), QLatin1Char('0'));
        key += digits;
        i = end;
    }
    return key.toUtf8();
}

QByteArray foldedKey(const QString &text)
{
    return text.toCaseFolded().toUtf8();
}

namespace {

char foldedAscii(QChar c)
{
    return asciiLower(char(c.unicode()));
}

// The keys of an ASCII name and file name, as naturalKey and foldedKey
// make them, straight into one block: a pass over 100,000 games makes
// them all, and most names are ASCII.
void appendAsciiKeys(QByteArray &keys, quint32 *sortKeyLength, QStringView name, QStringView file)
{
    keys.reserve(name.size() * 2 + file.size() + 24);
    for (qsizetype i = 0; i < name.size();) {
        if (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9')) {
            keys += foldedAscii(name.at(i++));
            continue;
        }
        qsizetype end = i;
        while (end < name.size() && name.at(end) >= QLatin1Char('0') && name.at(end) <= QLatin1Char('9'))
            ++end;
        if (end - i < 10)
            keys.append(10 - (end - i), '0');
        for (; i < end; ++i)
            keys += char(name.at(i).unicode());
    }
    *sortKeyLength = quint32(keys.size());
    for (const QChar c : name)
        keys += foldedAscii(c);
    keys += '\t';
    for (const QChar c : file)
        keys += foldedAscii(c);
}

}  // namespace

void prepareKeys(LibraryGame &game)
{
    if (!game.keys.isEmpty())
        return;
    // Names and file names, not their extensions: every file ends in
    // ".gb", and "b" would find them all.
    const qsizetype slash = game.path.lastIndexOf(QLatin1Char('/'));
    QStringView file = QStringView(game.path).sliced(slash + 1);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        file.truncate(dot);
    if (isAscii(game.name) && isAscii(file)) {
        appendAsciiKeys(game.keys, &game.sortKeyLength, game.name, file);
        return;
    }
    QString shownFile = displayPath(baseName(game.path));
    const qsizetype shownDot = shownFile.lastIndexOf(QLatin1Char('.'));
    if (shownDot > 0)
        shownFile.truncate(shownDot);
    const QByteArray sortKey = naturalKey(game.name);
    const QByteArray filterKey = foldedKey(game.name + QLatin1Char('\t') + shownFile);
    game.keys.reserve(sortKey.size() + filterKey.size());
    game.keys += sortKey;
    game.keys += filterKey;
    game.sortKeyLength = quint32(sortKey.size());
}

}  // namespace vantorix
