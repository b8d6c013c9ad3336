#include "library/MissingGamesModel.h"

#include "platform/ShownText.h"

#include <QCoreApplication>
#include <QLocale>

namespace vantorix {

void MissingGamesModel::setAudit(LibraryAudit audit)
{
    beginResetModel();
    audit_ = std::move(audit);
    endResetModel();
}

int MissingGamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(audit_.missing.size());
}

int MissingGamesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MissingGamesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return index.column() == Size ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    const MissingGame &game = audit_.missing[size_t(index.row())];
    switch (index.column()) {
    case Name: return withoutControlCharacters(game.name);
    case Region: return withoutControlCharacters(game.region);
    case Size: return QLocale().toString(game.size);
    case Crc32: return QString::number(game.crc32, 16).rightJustified(8, QLatin1Char('0'));
    case Database: return withoutControlCharacters(game.database);
    default: return QVariant();
    }
}

QVariant MissingGamesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name: return QCoreApplication::translate("LibraryModel", "Name");
    case Region: return QCoreApplication::translate("LibraryModel", "Region");
    case Size: return QCoreApplication::translate("LibraryModel", "Size");
    case Crc32: return QStringLiteral("CRC32");
    case Database: return QCoreApplication::translate("MissingGamesModel", "Database");
    default: return QVariant();
    }
}

QString MissingGamesModel::detailsOf(const MissingGame &game)
{
    const QLocale locale;
    return QCoreApplication::translate("MissingGamesModel",
                                       "Missing from your library: no file holds this game.\n\n"
                                       "Name: %1\nRegion: %2\nSize: %3 bytes\nCRC32: %4\nDatabase: %5")
        .arg(withoutControlCharacters(game.name), withoutControlCharacters(game.region), locale.toString(game.size),
             QString::number(game.crc32, 16).rightJustified(8, QLatin1Char('0')),
             withoutControlCharacters(game.database));
}

}  // namespace vantorix
