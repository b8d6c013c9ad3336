#include "library/LibraryList.h"

#include "library/GameVariants.h"

#include "platform/FilePath.h"
#include "platform/ShownText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace vantorix {

namespace {

// Control characters in a path would forge a field or a line: written "?"
// as the scan writes them.
void makeLineSafe(char *bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        if (uchar(bytes[i]) < 0x20 || uchar(bytes[i]) == 0x7f)
            bytes[i] = '?';
}

// ASCII text's characters as its bytes, with no copy made on the way.
void appendAscii(QByteArray &out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    std::transform(text.begin(), text.end(), out.data() + at, [](QChar c) { return char(c.unicode()); });
}

// A name's UTF-8, its tabs and line breaks taken out.
void appendField(QByteArray &out, const QString &text)
{
    const bool plain = std::all_of(text.cbegin(), text.cend(),
                                   [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7f; });
    if (!plain)
        out += withoutControlCharacters(text).toUtf8();
    else if (isAscii(text))
        appendAscii(out, text);
    else
        out += text.toUtf8();
}

// A path's own bytes.
void appendPath(QByteArray &out, const QString &path)
{
    if (isAscii(path))
        appendAscii(out, path);
    else
        out += encodePath(path);
}

void appendNumber(QByteArray &out, qint64 number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
}

}  // namespace

const QByteArray &LibraryList::header()
{
    static const QByteArray header = "name\tsystem\tregion\tsize\tcrc32\tverified\tplayed\tlast played\tpath"
                                     "\tcopies\tplay time\temulator\tsave\n";
    return header;
}

void LibraryList::add(const LibraryGame &game)
{
    const PlayRecord record = store_.playOf(game.historyKey(), game.content());
    const bool played = record.count > 0 || record.last.isValid();
    QByteArray &out = arena_;
    Line line;
    line.at = out.size();
    line.content = game.content();
    appendField(out, game.name);
    out += game.colour ? "\tGBC\t" : "\tGB\t";
    appendField(out, game.region());
    out += '\t';
    appendNumber(out, game.size);
    out += '\t';
    if (game.hasCrc) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", unsigned(game.crc32));
        out.append(crc, 8);
    }
    out += game.verified ? "\tyes\t" : "\tno\t";
    appendNumber(out, played ? record.count : 0);
    out += '\t';
    if (played && record.last.isValid())
        out += record.last.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1();
    out += '\t';
    line.textLength = int(out.size() - line.at);
    const qsizetype pathAt = out.size();
    appendPath(out, game.path);
    line.pathLength = int(out.size() - pathAt);
    const qsizetype historyAt = out.size();
    out += '\t';
    appendNumber(out, record.seconds);
    out += '\t';
    appendField(out, store_.emulatorOf(line.content));
    line.historyLength = int(out.size() - historyAt);
    lines_.push_back(line);
}

QByteArrayView LibraryList::pathOf(size_t index) const
{
    const Line &line = lines_.at(index);
    return QByteArrayView(arena_.constData() + line.at + line.textLength, line.pathLength);
}

void LibraryList::sort()
{
    if (sorted_)
        return;
    sorted_ = true;
    // Most paths share their start (the library's folder): the eight bytes
    // after what all share, kept beside each line, order most pairs without
    // a look into the arena.
    const char *const arena = arena_.constData();
    qsizetype shared = lines_.empty() ? 0 : lines_.front().pathLength;
    const char *const first = lines_.empty() ? nullptr : arena + lines_.front().at + lines_.front().textLength;
    for (const Line &line : lines_) {
        const char *path = arena + line.at + line.textLength;
        shared = std::min<qsizetype>(shared, line.pathLength);
        qsizetype same = 0;
        while (same < shared && path[same] == first[same])
            ++same;
        shared = same;
    }
    std::vector<Ordered> &order = order_;
    order.reserve(lines_.size());
    for (const Line &line : lines_) {
        const uchar *path = reinterpret_cast<const uchar *>(arena + line.at + line.textLength);
        quint64 next = 0;
        for (qsizetype i = shared; i < shared + 8; ++i)
            next = next << 8 | (i < line.pathLength ? path[i] : 0);
        order.push_back({next, &line});
    }
    std::sort(order.begin(), order.end(), [arena](const Ordered &a, const Ordered &b) {
        if (a.next != b.next)
            return a.next < b.next;
        const char *pathA = arena + a.line->at + a.line->textLength;
        const char *pathB = arena + b.line->at + b.line->textLength;
        const int common = std::memcmp(pathA, pathB, size_t(std::min(a.line->pathLength, b.line->pathLength)));
        return common != 0 ? common < 0 : a.line->pathLength < b.line->pathLength;
    });
    copies_ = countCopies(lines_, [](const Line &line) { return line.content; });
}

bool LibraryList::write(const QHash<size_t, QByteArray> &saves, const std::function<bool(QByteArrayView)> &to)
{
    sort();
    // Handed on in pieces of a fixed size: a list of 100,000 lines is never
    // all in memory twice.
    constexpr qsizetype kPiece = 256 << 10;
    const char *const arena = arena_.constData();
    QByteArray out;
    out.reserve(kPiece + 4096);
    out += header();
    for (const Ordered &ordered : order_) {
        const Line &line = *ordered.line;
        const char *at = arena + line.at;
        out.append(at, line.textLength + line.pathLength);
        makeLineSafe(out.data() + out.size() - line.pathLength, line.pathLength);
        out += '\t';
        appendNumber(out, line.content.isValid() ? copies_.value({line.content.crc32, line.content.size}) : 1);
        out.append(at + line.textLength + line.pathLength, line.historyLength);
        out += '\t';
        if (!saves.isEmpty()) {
            const auto found = saves.constFind(size_t(ordered.line - lines_.data()));
            if (found != saves.constEnd()) {
                out += *found;
                makeLineSafe(out.data() + out.size() - found->size(), found->size());
            }
        }
        out += '\n';
        if (out.size() >= kPiece) {
            if (!to(out))
                return false;
            out.resize(0);
        }
    }
    return out.isEmpty() || to(out);
}

QByteArray LibraryList::text(const QHash<size_t, QByteArray> &saves)
{
    QByteArray text;
    write(saves, [&text](QByteArrayView piece) {
        text += piece;
        return true;
    });
    return text;
}

}  // namespace vantorix
