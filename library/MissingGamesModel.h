#pragma once

#include "library/LibraryAudit.h"

#include <QAbstractTableModel>

#include <vector>

namespace vantorix {

// The games the databases list and the library lacks, as a table: not
// playable, shown apart from the library's own rows.
class MissingGamesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Region, Size, Crc32, Database, ColumnCount };

    explicit MissingGamesModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setAudit(LibraryAudit audit);
    const LibraryAudit &audit() const { return audit_; }
    const MissingGame &game(int row) const { return audit_.missing[size_t(row)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // What the pane says of a missing game.
    static QString detailsOf(const MissingGame &game);

private:
    LibraryAudit audit_;
};

}  // namespace vantorix
