#pragma once
#include "listing/FilePattern.h"
#include "scan/engine/FolderReader.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

// The hidden file list: the names of a folder's non-folder entries that match a pattern,
// hidden files included, in the program's name order. Names travel as native bytes.
class FileListElement : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Points the list at a folder and reads its names, unless it already shows that folder;
    // answers whether the path changed. Throws FsError for a folder that cannot be read, and
    // the list then keeps its previous path and names.
    bool setPath(const QByteArray &path);
    // Reads the names of the same folder again (its entries changed on disk).
    void reread();
    const QByteArray &path() const { return path_; }

    // Sets the pattern and re-reads the names. Throws FsError for a refused pattern, and the
    // list then keeps its previous pattern and names.
    void setPattern(const QString &pattern);
    const QString &pattern() const { return pattern_.text(); }

    int count() const { return int(names_.size()); }
    // The name as the file system has it (NUL-terminated), and as the lists show it.
    const char *nativeName(int i) const { return names_.name(size_t(i)); }
    QString name(int i) const;

private:
    QByteArray path_;
    FilePattern pattern_;
    FileNames names_;
};
