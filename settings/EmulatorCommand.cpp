#include "settings/EmulatorCommand.h"

namespace vantorix {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

const QString kRomMarker = QStringLiteral("%ROM%");

}  // namespace

bool splitCommandLine(const QString &text, QStringList *words)
{
    words->clear();
    QString word;
    bool inWord = false;  // '' makes an empty word
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (isBlank(c)) {
            if (inWord)
                words->append(word);
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < n) {
                if (text.at(++i) != QLatin1Char('\n')) {
                    word += text.at(i);
                    inWord = true;
                }
            } else {
                word += c;  // a backslash at the very end stays
                inWord = true;
            }
        } else if (c == QLatin1Char('\'')) {
            const qsizetype close = text.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0)
                return false;
            word += QStringView(text).mid(i + 1, close - i - 1);
            i = close;
            inWord = true;
        } else if (c == QLatin1Char('"')) {
            inWord = true;
            for (++i;; ++i) {
                if (i >= n)
                    return false;
                const QChar d = text.at(i);
                if (d == QLatin1Char('"'))
                    break;
                if (d == QLatin1Char('\\') && i + 1 < n
                    && QStringLiteral("$`\"\\\n").contains(text.at(i + 1))) {
                    if (text.at(++i) != QLatin1Char('\n'))
                        word += text.at(i);
                } else {
                    word += d;
                }
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words->append(word);
    return true;
}

QString joinCommandLine(const QStringList &words)
{
    QStringList quoted;
    for (QString word : words)
        quoted.append(QLatin1Char('\'') + word.replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\''));
    return quoted.join(QLatin1Char(' '));
}

bool emulatorCommand(const QString &text, const QString &romPath,
                     const std::function<bool(const QString &)> &isExecutable, EmulatorCommand *command)
{
    if (isExecutable(text)) {
        *command = {text, {romPath}};
        return true;
    }
    QStringList words;
    if (!splitCommandLine(text, &words))
        return false;
    command->program = words.isEmpty() ? QString() : words.takeFirst();
    command->arguments.clear();
    bool placed = false;
    for (QString word : words) {
        if (word.contains(kRomMarker)) {
            word.replace(kRomMarker, romPath);
            placed = true;
        }
        command->arguments.append(word);
    }
    if (!placed)
        command->arguments.append(romPath);
    return true;
}

}  // namespace vantorix
