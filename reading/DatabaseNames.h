#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace vantorix {

class Catalogue;

// The names the catalogue's game databases give the files at paths
// (absolute), by path. A file they do not know, or that cannot be read, is
// left out. Keys come from the hash cache where it knows the file as it is
// (waited for at most cacheWaitMs); the others are read. Reads for as long
// as cancelled says no; slow on a cold drive: not for the window's thread.
QHash<QString, QString> databaseNamesOfFiles(Catalogue &catalogue, const QStringList &paths, int cacheWaitMs,
                                             const std::function<bool()> &cancelled = {});

// The entry titled with a game's name from the databases, its file part as
// it was.
QString entryNamedAs(const QString &entry, const QString &gameName);

}  // namespace vantorix
