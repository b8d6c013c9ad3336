#include "library/LibraryList.h"

#include "library/GameVariants.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"

#include <algorithm>

namespace vantorix {

namespace {

// A path's bytes as they are, but for the control characters that would
// forge a field or a line, written "?" as the scan writes them.
QByteArray lineSafe(QByteArray bytes)
{
    for (char &c : bytes)
        if (uchar(c) < 0x20 || uchar(c) == 0x7f)
            c = '?';
    return bytes;
}

}  // namespace

const QByteArray &libraryListHeader()
{
    static const QByteArray header = "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath"
                                     "\tcopies\tplay time\temulator\tsave\n";
    return header;
}

LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store)
{
    // A tab or line break in a name would forge a field or a line.
    const auto appendField = [](QByteArray &out, const QString &text) {
        bool plain = true;
        for (const QChar c : text)
            plain = plain && c.unicode() >= 0x20 && c.unicode() != 0x7f;
        out += (plain ? text : withoutControlCharacters(text)).toUtf8();
    };
    LibraryListLine line;
    line.path = encodePath(game.path);
    const PlayRecord record = store.playOf(game.historyKey(), game.content());
    const PlayRecord *play = &record;
    const bool played = record.count > 0 || record.last.isValid();
    QByteArray &out = line.text;
    out.reserve(game.name.size() + line.path.size() + 64);
    appendField(out, game.name);
    out += game.colour ? "\tGBC\t" : "\tGB\t";
    appendField(out, game.region);
    out += '\t';
    out += QByteArray::number(game.size);
    out += '\t';
    if (game.hasCrc)
        out += QByteArray::number(game.crc32, 16).rightJustified(8, '0');
    out += game.verified ? "\tyes\t" : "\tno\t";
    out += QByteArray::number(played ? play->count : 0);
    out += '\t';
    if (played && play->last.isValid())
        out += play->last.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1();
    out += '\t';
    out += lineSafe(line.path);
    line.content = game.content();
    line.history = '\t' + QByteArray::number(record.seconds) + '\t';
    appendField(line.history, store.emulatorOf(line.content));
    return line;
}

QByteArray libraryListText(std::vector<LibraryListLine> lines, const FoundSaves &saves)
{
    // Sorted as pointers: 100,000 lines compare by their paths' bytes and
    // never move.
    std::vector<const LibraryListLine *> order;
    order.reserve(lines.size());
    qsizetype size = libraryListHeader().size();
    for (const LibraryListLine &line : lines) {
        order.push_back(&line);
        size += line.text.size() + line.history.size() + 8;
    }
    const CopyCounts copies = countCopies(lines, [](const LibraryListLine &line) { return line.content; });
    std::sort(order.begin(), order.end(), [](const LibraryListLine *a, const LibraryListLine *b) {
        return QByteArrayView(a->path).compare(QByteArrayView(b->path)) < 0;
    });
    QByteArray out;
    out.reserve(size);
    out += libraryListHeader();
    for (const LibraryListLine *line : order) {
        out += line->text;
        out += '\t';
        out += QByteArray::number(line->content.isValid() ? copies.value({line->content.crc32, line->content.size}) : 1);
        out += line->history;
        out += '\t';
        if (!saves.isEmpty()) {
            const auto found = saves.constFind(decodePath(line->path));
            if (found != saves.constEnd() && !found->isEmpty())
                out += lineSafe(encodePath(found->constFirst().path));
        }
        out += '\n';
    }
    return out;
}

}  // namespace vantorix
