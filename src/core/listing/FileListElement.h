// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FilePattern.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderReader.h"
#include "core/scan/engine/WalkScope.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

// What the complete file list was built from: the folder, the names' pattern and when the
// folder's entries had last changed as they were read, and the options. Not `built` unless
// that build went through without a box.
struct FileListBuild {
    bool built = false;
    QByteArray folder;
    QString pattern;
    struct timespec namesStamp = {};
    bool recursive = false, size = false, modified = false;
};

class ScanListener;

// The hidden file list: the names of a folder's non-folder entries that match a pattern,
// hidden files included, in the program's name order. Names travel as native bytes.
class FileListElement : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Points the list at a folder and reads its names, unless it already shows that folder;
    // answers whether the path changed. Throws FsError for a folder that cannot be read, and
    // the list then keeps its previous path and names.
    // Files read already (by the folder tree's read of the same folder) are taken instead of
    // reading the folder again.
    bool setPath(const QByteArray &path, std::optional<FolderFiles> readAlready = std::nullopt);
    // Reads the names of the same folder again (its entries changed on disk).
    void reread(std::optional<FolderFiles> readAlready = std::nullopt);
    const QByteArray &path() const { return path_; }
    // When the folder's entries had last changed as the names were read (zero if unknown).
    const struct timespec &stamp() const { return stamp_; }

    // Sets the pattern and re-reads the names; names read while the folder's entries were as
    // they are now are only matched again. Throws FsError for a refused pattern, and the list
    // then keeps its previous pattern and names.
    void setPattern(const QString &pattern);
    const QString &pattern() const { return pattern_.text(); }

    // Leaves out the names `exclude` excludes (none: no name), whatever the pattern; the names
    // read are matched again.
    void setExclusions(std::shared_ptr<const NameFilter> exclude);
    // How many of the folder's names were left out so.
    int64_t passedOver() const { return passedOver_; }

    int count() const { return int(shown_.size()); }
    // The name as the file system has it (NUL-terminated), and as the lists show it.
    const char *nativeName(int i) const { return names_.name(shown_[size_t(i)]); }
    QByteArrayView nativeView(int i) const { return names_.view(shown_[size_t(i)]); }
    QString name(int i) const;
    // Keeps every nativeName() answered so far where it is, as long as the copy lives.
    QByteArray namesKeeper() const { return names_.buffer(); }

    // What the complete file list was last built from (see fileListUpToDate).
    FileListBuild lastBuild;

private:
    std::vector<uint32_t> matching(const FileNames &names, ScanListener &listener, int64_t &passedOver) const;

    QByteArray path_;
    FilePattern pattern_;
    FileNames names_;              // every name read, the pattern's or not
    std::vector<uint32_t> shown_;  // the pattern's names: their places in names_
    struct timespec stamp_ = {};
    std::shared_ptr<const NameFilter> exclude_;
    int64_t passedOver_ = 0;
};
