#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <vector>

// Game databases in the two forms DAT files come in: clrmamepro's text
// ("clrmamepro ( ... )" then "game ( ... rom ( ... ) )" blocks) and Logiqx
// XML ("<datafile><header>...<game><rom .../>"). Both are read whole into
// their headers and ROMs. A game with a CRC or a size that cannot be read
// is left out and named; a file that is not a DAT, or whose structure is
// damaged, is refused as a whole with the line where reading stopped.
namespace vantorix {

struct DatHeader {
    QString name;
    QString version;
};

struct DatRom {
    QString game;     // the game's name, as the database writes it
    quint32 crc32 = 0;
    qint64 size = 0;
    int header = -1;  // the header it follows; -1 before any
};

// A game left out for a value that cannot be read, by the line of that
// value.
struct DatSkippedGame {
    int line;
    QString reason;
};

struct DatContents {
    std::vector<DatHeader> headers;
    std::vector<DatRom> roms;
    std::vector<DatSkippedGame> skipped;
};

class DatError : public std::exception {
public:
    DatError(int line, const QString &reason) : line_(line), reason_(reason) {}
    int line() const { return line_; }
    const QString &reason() const { return reason_; }
    const char *what() const noexcept override { return "damaged game database"; }

private:
    int line_;
    QString reason_;
};

// Each throws DatError. A ROM without a size or a CRC, or of a game
// without a name, is left out; unknown fields and blocks are skipped.
DatContents readClrMameProDat(const QByteArray &text);
DatContents readLogiqxDat(const QByteArray &xml);
// Either, told by the first character that is not blank ("<": XML).
DatContents readDat(const QByteArray &bytes);

}  // namespace vantorix
