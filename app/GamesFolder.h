#pragma once

#include <QHash>
#include <QString>

namespace vantorix {

// The games directory, listed once: where the launch finds the file of an
// entry, and which entries have no file. Names are matched as shown
// (Windows-1252 for names that are not UTF-8) without regard to letter
// case, since entries hold upper-cased names.
class GamesFolder {
public:
    // An empty directory text stands for the current folder.
    explicit GamesFolder(const QString &directory);

    // False when the directory does not exist or cannot be listed or
    // entered.
    bool exists() const { return exists_; }

    // The path of the regular file named fileName in the directory: the
    // name as it stands when such a file exists, otherwise a file whose
    // name differs only in letter case. Empty when there is none.
    QString find(const QString &fileName) const;

private:
    QString directory_;
    bool exists_ = false;
    QHash<QString, QString> exact_;   // shown name -> name on disk
    QHash<QString, QString> folded_;  // case-folded shown name -> name on disk
};

}  // namespace vantorix
