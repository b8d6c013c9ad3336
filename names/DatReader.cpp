#include "names/DatReader.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <optional>

namespace vantorix {

namespace {

QString reasonText(const char *text)
{
    return QCoreApplication::translate("DatReader", text);
}

// What is wrong with a CRC that parseCrc refuses.
QString crcProblem(QByteArrayView text)
{
    const bool hex = std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(uchar(c)) != 0; });
    if (hex && !text.isEmpty())
        return QCoreApplication::translate("DatReader", "CRC of %n digit(s)", nullptr, int(text.size()));
    return reasonText(QT_TRANSLATE_NOOP("DatReader", "a CRC is not hexadecimal"));
}

// A CRC32 of 1 to 8 hex digits, either case.
bool parseCrc(QByteArrayView text, quint32 *crc)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    quint32 value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        value = value << 4 | quint32(digit);
    }
    *crc = value;
    return true;
}

bool parseSize(QByteArrayView text, qint64 *size)
{
    if (text.isEmpty() || text.size() > 15)
        return false;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    *size = value;
    return true;
}

// clrmamepro's text, token by token: "(", ")", a quoted value (no escapes,
// on one line) or a bare word.
class Tokens {
public:
    explicit Tokens(const QByteArray &text) : p_(text.constData()), end_(p_ + text.size()) {}

    enum Kind { Open, Close, Word, End };

    Kind next(QByteArrayView *word)
    {
        while (p_ < end_ && uchar(*p_) <= ' ') {
            if (*p_ == '\n')
                ++line_;
            ++p_;
        }
        if (p_ == end_)
            return End;
        const char c = *p_;
        if (c == '(' || c == ')') {
            ++p_;
            return c == '(' ? Open : Close;
        }
        if (c == '"') {
            const char *start = ++p_;
            while (p_ < end_ && *p_ != '"' && *p_ != '\n')
                ++p_;
            if (p_ == end_ || *p_ != '"')
                throw DatError(line_, reasonText(QT_TRANSLATE_NOOP("DatReader", "a quoted value is not closed")));
            *word = QByteArrayView(start, p_ - start);
            ++p_;
            return Word;
        }
        const char *start = p_;
        while (p_ < end_ && uchar(*p_) > ' ' && *p_ != '(' && *p_ != ')')
            ++p_;
        *word = QByteArrayView(start, p_ - start);
        return Word;
    }

    int line() const { return line_; }

private:
    const char *p_;
    const char *end_;
    int line_ = 1;
};

class ClrMameProReader {
public:
    explicit ClrMameProReader(const QByteArray &text) : tokens_(text)
    {
        contents_.roms.reserve(size_t(text.size() / 256));  // a No-Intro game takes about 260 bytes
    }

    DatContents read()
    {
        QByteArrayView word;
        QByteArrayView open;
        for (;;) {
            const Tokens::Kind kind = tokens_.next(&word);
            if (kind == Tokens::End)
                break;
            if (kind != Tokens::Word || tokens_.next(&open) != Tokens::Open)
                throw DatError(tokens_.line(), reasonText(QT_TRANSLATE_NOOP("DatReader", "not a game database")));
            if (word == "clrmamepro")
                readHeader();
            else if (word == "game" || word == "machine")
                readGame();
            else
                skipBlock();
        }
        if (contents_.headers.empty() && contents_.roms.empty() && contents_.skipped.empty())
            throw DatError(tokens_.line(), reasonText(QT_TRANSLATE_NOOP("DatReader", "not a game database")));
        return std::move(contents_);
    }

private:
    // The value after a field's name: a word, or a block that is skipped.
    Tokens::Kind value(QByteArrayView *word)
    {
        const Tokens::Kind kind = tokens_.next(word);
        if (kind == Tokens::Open)
            skipBlock();
        else if (kind != Tokens::Word)
            throw DatError(tokens_.line(), reasonText(QT_TRANSLATE_NOOP("DatReader", "a field has no value")));
        return kind;
    }

    // From after a block's "(" to its ")".
    void skipBlock()
    {
        int depth = 1;
        QByteArrayView word;
        while (depth > 0) {
            switch (tokens_.next(&word)) {
            case Tokens::Open: ++depth; break;
            case Tokens::Close: --depth; break;
            case Tokens::Word: break;
            case Tokens::End: throw DatError(tokens_.line(), reasonText(QT_TRANSLATE_NOOP("DatReader", "a block is not closed")));
            }
        }
    }

    // Calls field(name, value or empty for a block) for each field until
    // the block's ")".
    template <typename Field>
    void fields(Field field)
    {
        QByteArrayView name;
        QByteArrayView word;
        for (;;) {
            const Tokens::Kind kind = tokens_.next(&name);
            if (kind == Tokens::Close)
                return;
            if (kind != Tokens::Word)
                throw DatError(tokens_.line(), kind == Tokens::End ? reasonText(QT_TRANSLATE_NOOP("DatReader", "a block is not closed"))
                                                                   : reasonText(QT_TRANSLATE_NOOP("DatReader", "a field has no name")));
            field(name);
        }
    }

    void readHeader()
    {
        DatHeader header;
        QByteArrayView word;
        fields([&](QByteArrayView name) {
            if (value(&word) != Tokens::Word)
                return;
            if (name == "name")
                header.name = QString::fromUtf8(word);
            else if (name == "version")
                header.version = QString::fromUtf8(word);
        });
        contents_.headers.push_back(std::move(header));
    }

    void readGame()
    {
        QString game;
        const size_t first = contents_.roms.size();
        std::optional<DatSkippedGame> unreadable;
        QByteArrayView word;
        fields([&](QByteArrayView name) {
            if (name == "rom") {
                if (tokens_.next(&word) != Tokens::Open)
                    throw DatError(tokens_.line(), reasonText(QT_TRANSLATE_NOOP("DatReader", "a rom is not a block")));
                readRom(&unreadable);
            } else if (value(&word) == Tokens::Word && name == "name") {
                game = QString::fromUtf8(word);
            }
        });
        if (unreadable) {
            // One broken value costs its game, not the whole database.
            contents_.roms.resize(first);
            contents_.skipped.push_back(std::move(*unreadable));
            return;
        }
        if (game.isEmpty()) {
            contents_.roms.resize(first);  // a game without a name names nothing
            return;
        }
        for (size_t i = first; i < contents_.roms.size(); ++i)
            contents_.roms[i].game = game;
    }

    // A value that cannot be read is noted in unreadable (the first one
    // only) and its ROM left out.
    void readRom(std::optional<DatSkippedGame> *unreadable)
    {
        DatRom rom;
        bool haveCrc = false;
        bool haveSize = false;
        QByteArrayView word;
        fields([&](QByteArrayView name) {
            if (value(&word) != Tokens::Word)
                return;
            QString problem;
            if (name == "crc") {
                haveCrc = parseCrc(word, &rom.crc32);
                if (!haveCrc)
                    problem = crcProblem(word);
            } else if (name == "size") {
                haveSize = parseSize(word, &rom.size);
                if (!haveSize)
                    problem = reasonText(QT_TRANSLATE_NOOP("DatReader", "a size is not a number"));
            }
            if (!problem.isEmpty() && !*unreadable)
                *unreadable = DatSkippedGame{tokens_.line(), problem};
        });
        if (haveCrc && haveSize) {
            rom.header = int(contents_.headers.size()) - 1;
            contents_.roms.push_back(std::move(rom));
        }
    }

    Tokens tokens_;
    DatContents contents_;
};

}  // namespace

DatContents readClrMameProDat(const QByteArray &text)
{
    return ClrMameProReader(text).read();
}

DatContents readLogiqxDat(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    DatContents contents;
    const auto fail = [&reader](const QString &reason) { return DatError(int(reader.lineNumber()), reason); };
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("datafile"))
        throw fail(reader.hasError() ? reader.errorString() : reasonText(QT_TRANSLATE_NOOP("DatReader", "not a game database")));
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("header")) {
            DatHeader header;
            while (reader.readNextStartElement()) {
                if (reader.name() == QLatin1String("name"))
                    header.name = reader.readElementText();
                else if (reader.name() == QLatin1String("version"))
                    header.version = reader.readElementText();
                else
                    reader.skipCurrentElement();
            }
            contents.headers.push_back(std::move(header));
        } else if (reader.name() == QLatin1String("game") || reader.name() == QLatin1String("machine")) {
            const QString game = reader.attributes().value(QLatin1String("name")).toString();
            const size_t first = contents.roms.size();
            std::optional<DatSkippedGame> unreadable;
            while (reader.readNextStartElement()) {
                if (reader.name() == QLatin1String("rom") && !game.isEmpty()) {
                    const QXmlStreamAttributes a = reader.attributes();
                    DatRom rom;
                    rom.game = game;
                    const QByteArray crc = a.value(QLatin1String("crc")).toLatin1();
                    const QByteArray size = a.value(QLatin1String("size")).toLatin1();
                    QString problem;
                    if (!crc.isEmpty() && !parseCrc(crc, &rom.crc32))
                        problem = crcProblem(crc);
                    else if (!size.isEmpty() && !parseSize(size, &rom.size))
                        problem = reasonText(QT_TRANSLATE_NOOP("DatReader", "a size is not a number"));
                    if (!problem.isEmpty() && !unreadable)
                        unreadable = DatSkippedGame{int(reader.lineNumber()), problem};
                    rom.header = int(contents.headers.size()) - 1;
                    if (!crc.isEmpty() && !size.isEmpty() && problem.isEmpty())
                        contents.roms.push_back(std::move(rom));
                }
                reader.skipCurrentElement();
            }
            if (unreadable) {
                contents.roms.resize(first);
                contents.skipped.push_back(std::move(*unreadable));
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError())
        throw fail(reader.errorString());
    return contents;
}

DatContents readDat(const QByteArray &bytes)
{
    // An editor's byte-order mark is no part of either form.
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    for (char c : text) {
        if (uchar(c) > ' ')
            return c == '<' ? readLogiqxDat(text) : readClrMameProDat(text);
    }
    throw DatError(1, reasonText(QT_TRANSLATE_NOOP("DatReader", "not a game database")));
}

}  // namespace vantorix
