#include "rom/GameListEntry.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"
#include "rom/GamesFolder.h"

#include <QCoreApplication>

#include <algorithm>

namespace vantorix {

namespace {

// The characters the key is copied from: up to 11 starting 11 before the
// last character (or at the start), ending at the end of the text.
QString keySource(const QString &entry)
{
    const qsizetype start = qMax<qsizetype>(0, entry.size() - 12);
    return entry.mid(start, kNameWidth);
}

QString leftTrimmedSpaces(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

}  // namespace

QString ExtractRomKey(const QString &entry)
{
    QString key = keySource(entry);
    key.remove(QLatin1Char(' '));
    return key.leftJustified(kNameWidth, QLatin1Char(' '));
}

namespace {

// Whether every ")" of text closes a "(" before it, and every "(" is closed.
bool parenthesesBalance(QStringView text)
{
    int depth = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0;
}

}  // namespace

namespace {

qsizetype longTitleEnd(const QString &entry)
{
    // A fixed entry has its "(" in column 41; a long title cannot (see
    // composeEntry), so the first separator after it is the title's end.
    if (entry.size() < kEntryLength || entry.at(kTitleWidth) == QLatin1Char('('))
        return -1;
    return entry.indexOf(QStringView(u"\u00A0("), kTitleWidth + 1);
}

}  // namespace

QString romFileName(const QString &entry)
{
    const qsizetype titleEnd = longTitleEnd(entry);
    if (titleEnd >= 0)
        return leftTrimmedSpaces(entry.mid(titleEnd + 2, entry.size() - titleEnd - 3));
    if (entry.size() > kEntryLength && entry.at(kTitleWidth) != QLatin1Char('(')) {
        // Written before long titles had a separator of their own: a name
        // of 40 columns or more, a blank, then "(": the name field is the
        // last such part whose parentheses balance.
        const QStringView body = QStringView(entry).left(entry.size() - 1);
        for (qsizetype at = body.lastIndexOf(u" ("); at >= kTitleWidth - 1; at = body.left(at).lastIndexOf(u" (")) {
            const QStringView name = body.mid(at + 2);
            if (parenthesesBalance(name))
                return leftTrimmedSpaces(name.toString());
        }
    }
    if (entry.size() >= kEntryLength)
        return leftTrimmedSpaces(entry.mid(kTitleWidth + 1, entry.size() - kTitleWidth - 2));
    return leftTrimmedSpaces(keySource(entry));
}

bool isUserSelection(const QString &entry)
{
    return romFileName(entry) == userSelectionName();
}

QString selectionLine(const QString &entry)
{
    if (isBlankEntry(entry))
        return QStringLiteral("??");
    if (isUserSelection(entry))
        return QCoreApplication::translate("TForm1", "Click on \"Launch\" and select a ROM.");
    return QStringLiteral("--> ") + romFileName(entry).leftJustified(kNameWidth, QLatin1Char(' '));
}

QString upperCaseLetterwise(const QString &text)
{
    // Names are mostly ASCII, whose capitals are one letter each.
    QString upper = text;
    bool ascii = true;
    for (QChar &c : upper) {
        const char16_t u = c.unicode();
        ascii &= u < 0x80;
        if (u >= 'a' && u <= 'z')
            c = QChar(char16_t(u - 32));
    }
    if (ascii)
        return upper;
    upper.clear();
    upper.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        // QChar's mapping is the simple one: one letter for one letter.
        const char32_t capital = QChar::toUpper(c);
        if (QChar::requiresSurrogates(capital)) {
            upper.append(QChar(QChar::highSurrogate(capital)));
            upper.append(QChar(QChar::lowSurrogate(capital)));
        } else {
            upper.append(QChar(char16_t(capital)));
        }
    }
    return upper;
}

QString letterCaseKey(const QString &name)
{
    return upperCaseLetterwise(name).toCaseFolded();
}

bool isBlankEntry(const QString &entry)
{
    for (const QChar c : entry)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

bool entryMatches(const QString &entry, const QString &text)
{
    const qsizetype titleEnd = longTitleEnd(entry);
    const QString title = titleEnd >= 0 ? entry.left(titleEnd)
                          : entry.size() >= kEntryLength ? entry.left(kTitleWidth)
                                                         : QString();
    return title.contains(text, Qt::CaseInsensitive) || romFileName(entry).contains(text, Qt::CaseInsensitive)
           || (title.isEmpty() && entry.contains(text, Qt::CaseInsensitive));
}

namespace {

// Lays an entry out from out on: one writer for texts and for bytes.
template <typename Char, typename Text>
Char *layOutEntry(Char *out, const Text &title, const Text &fileName)
{
    const Char space = Char(u' ');
    out = std::copy(title.begin(), title.end(), out);
    out = std::fill_n(out, qMax<qsizetype>(0, kTitleWidth - title.size()), space);
    *out++ = Char(u'(');
    out = std::fill_n(out, qMax<qsizetype>(0, kNameWidth - fileName.size()), space);
    out = std::copy(fileName.begin(), fileName.end(), out);
    *out++ = Char(u')');
    return out;
}

qsizetype entrySize(qsizetype titleSize, qsizetype nameSize)
{
    return qMax<qsizetype>(kTitleWidth, titleSize) + 1 + qMax<qsizetype>(kNameWidth, nameSize) + 1;
}

}  // namespace

namespace {

// A name whose first character is a blank would lose it as padding: it
// is written below "." instead, which the launch reads as the same file.
template <typename Text>
bool startsWithBlank(const Text &fileName)
{
    return !fileName.isEmpty() && fileName.front() == u' ';
}

}  // namespace

QString composeEntry(const QString &title, const QString &fileName)
{
    if (startsWithBlank(fileName))
        return composeEntry(title, QStringLiteral("./") + fileName);
    if (title.size() > kTitleWidth) {
        // A title longer than its column ends at a no-break space before the
        // "(": it holds none of its own, and never a "(" in column 41, where
        // a fixed entry has it.
        QString longTitle = title;
        longTitle.replace(QChar(0x00A0), QLatin1Char(' '));
        if (longTitle.at(kTitleWidth) == QLatin1Char('('))
            longTitle.insert(kTitleWidth, QLatin1Char(' '));
        return longTitle + QChar(0x00A0) + QLatin1Char('(') + fileName.rightJustified(kNameWidth, QLatin1Char(' '))
               + QLatin1Char(')');
    }
    // One allocation: a folder of 100,000 files makes as many entries.
    QString entry(entrySize(title.size(), fileName.size()), Qt::Uninitialized);
    layOutEntry(entry.data(), title, fileName);
    return entry;
}

QString namelessRomTitle(const QString &fileName)
{
    QString title = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = title.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        title.truncate(dot);
    title.removeIf(isUnsafeCharacter);
    return title.trimmed();
}

void appendComposedEntry(QByteArray &out, QByteArrayView title, QByteArrayView fileName)
{
    if (startsWithBlank(fileName) || title.size() > kTitleWidth) {
        out += composeEntry(QString::fromLatin1(title), QString::fromLatin1(fileName)).toUtf8();
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + entrySize(title.size(), fileName.size()));
    layOutEntry(out.data() + start, title, fileName);
}

QString joinRomPath(const QString &gamesDirectory, const QString &fileName)
{
    if (fileName.startsWith(QLatin1Char('/')))
        return fileName;  // imported from outside the games directory
    if (gamesDirectory.isEmpty() || gamesDirectory.endsWith(QLatin1Char('/')))
        return gamesDirectory + fileName;
    return gamesDirectory + QLatin1Char('/') + fileName;
}

QString resolveRomPath(const QString &gamesDirectory, const QString &fileName)
{
    const QString found = GamesFolder(gamesDirectory).find(fileName);
    return found.isEmpty() ? joinRomPath(gamesDirectory, fileName) : found;
}

}  // namespace vantorix
