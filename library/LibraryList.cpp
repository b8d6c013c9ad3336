#include "library/LibraryList.h"

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
    static const QByteArray header = "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath\n";
    return header;
}

LibraryListLine libraryListLine(const LibraryGame &game, const LibraryStore &store)
{
    // A tab or line break in a name would forge a field or a line.
    const auto field = [](const QString &text) { return withoutControlCharacters(text).toUtf8(); };
    LibraryListLine line;
    line.path = encodePath(game.path);
    const PlayRecord play = store.plays.value(game.historyKey());
    line.text = field(game.name) + '\t' + game.system().toLatin1() + '\t' + field(game.region) + '\t'
                + QByteArray::number(game.size) + '\t'
                + (game.hasCrc ? QByteArray::number(game.crc32, 16).rightJustified(8, '0') : QByteArray()) + '\t'
                + (game.verified ? "yes" : "no") + '\t' + QByteArray::number(play.count) + '\t'
                + (play.last.isValid() ? play.last.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1()
                                       : QByteArray())
                + '\t' + lineSafe(line.path) + '\n';
    return line;
}

QByteArray libraryListText(std::vector<LibraryListLine> lines)
{
    std::sort(lines.begin(), lines.end(),
              [](const LibraryListLine &a, const LibraryListLine &b) { return a.path < b.path; });
    QByteArray out = libraryListHeader();
    qsizetype size = out.size();
    for (const LibraryListLine &line : lines)
        size += line.text.size();
    out.reserve(size);
    for (const LibraryListLine &line : lines)
        out += line.text;
    return out;
}

}  // namespace vantorix
