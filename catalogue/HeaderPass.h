#pragma once

#include "app/IoError.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vantorix {

class RomFolder;

// The list a header pass rewrites in place.
class EntryList {
public:
    virtual ~EntryList() = default;
    virtual int count() const = 0;
    virtual QString text(int index) const = 0;
    // Replaces the text at the same position, keeping the selection and
    // notifying nobody.
    virtual void setText(int index, const QString &text) = 0;
    // The file name an unconverted item stands for, as bytes; by default
    // its text (see encodePath).
    virtual QByteArray fileName(int index) const;
    // An item known to hold an entry already is not looked up again.
    virtual bool isConverted(int) const { return false; }
};

// The pass over a plain list of texts, held by value.
class TextEntryList : public EntryList {
public:
    QStringList items;
    int count() const override { return int(items.size()); }
    QString text(int index) const override { return items.at(index); }
    void setText(int index, const QString &text) override { items[index] = text; }
};

// The pass stopped on this item.
class HeaderPassError : public IoError {
public:
    HeaderPassError(const IoError &cause, int index, const QString &fileName)
        : IoError(cause), index_(index), fileName_(fileName) {}
    int index() const { return index_; }
    const QString &fileName() const { return fileName_; }

private:
    int index_;
    QString fileName_;
};

// Converts every item that names a regular file in folder into its game
// list entry. Items that name no such file, converted entries among them,
// are left alone. Stops at the first file that cannot be read and throws
// HeaderPassError; items before it stay converted. progress receives the
// upper-cased name of each file once it has been read.
void runHeaderPass(EntryList &list, const RomFolder &folder,
                   const std::function<void(const QString &)> &progress = {});

// The same over the folder at path (empty: the current folder). Throws
// IoError when that folder cannot be opened.
void runHeaderPass(EntryList &list, const QString &folder,
                   const std::function<void(const QString &)> &progress = {});

}  // namespace vantorix
