// Fills a folder with single-ROM archives, or with the same ROMs unpacked,
// for timing "kelpad --scan" over zipped collections.
//
//   vantorix_make_archives zip|7z|plain DIR N
//
// Each ROM is 32 KiB: a header with its title, half of it code-like bytes
// that compress as real ROMs do, the rest empty banks.
#include "samples/ArchiveMaker.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>

namespace {

QByteArray benchRom(int index)
{
    QByteArray rom(32 * 1024, '\0');
    QRandomGenerator random(quint32(index) + 1);
    for (int i = 0x150; i < rom.size() / 2; ++i)
        rom[i] = char(random.bounded(48));  // a small alphabet, as opcodes are
    const QByteArray title = QByteArrayLiteral("GAME ") + QByteArray::number(index);
    rom.replace(0x134, title.size(), title);
    return rom;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: vantorix_make_archives zip|7z|plain DIR N\n");
        return 2;
    }
    const QString kind = args.at(1);
    const int count = args.at(3).toInt();
    for (int i = 0; i < count; ++i) {
        const QString stem = QStringLiteral("%1/GAME%2").arg(args.at(2)).arg(i, 6, 10, QLatin1Char('0'));
        const QByteArray rom = benchRom(i);
        QByteArray bytes = rom;
        QString path = stem + QStringLiteral(".GB");
        if (kind != QLatin1String("plain")) {
            const bool zip = kind == QLatin1String("zip");
            bytes = vantorix::makeArchive(zip ? vantorix::ArchiveFormat::ZipDeflated : vantorix::ArchiveFormat::SevenZip,
                                          {{QStringLiteral("GAME%1.GB").arg(i), rom}});
            path = stem + (zip ? QStringLiteral(".ZIP") : QStringLiteral(".7Z"));
        }
        QFile file(path);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}
