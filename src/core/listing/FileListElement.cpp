// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileListElement.h"

#include "core/scan/CallWait.h"
#include "core/scan/QuietRead.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderReader.h"
#include "core/shared/Text.h"

QString FileListElement::name(int i) const
{
    return displayName(names_.view(shown_[size_t(i)]));
}

bool FileListElement::setPath(const QByteArray &path, std::optional<FolderFiles> readAlready)
{
    const QByteArray before = path_;
    const QByteArray p = normalFolderPath(path);
    if (p == before)
        return false;
    path_ = p;
    try {
        reread(std::move(readAlready));
    } catch (...) {
        path_ = before;
        throw;
    }
    return true;
}

void FileListElement::setPattern(const QString &pattern)
{
    FilePattern next(pattern);
    std::swap(pattern_, next);
    if (path_.isEmpty())
        return;
    // The names read last are still the folder's when its entries have not changed since.
    const struct timespec zero = {};
    const QByteArray p = path_;
    if (!sameStamp(stamp_, zero) && sameStamp(CallWait::run<struct timespec>(p, [p] { return folderStamp(p); }), stamp_)) {
        QuietRead quiet;
        shown_ = matching(names_, quiet, passedOver_);
        return;
    }
    try {
        reread();
    } catch (...) {
        std::swap(pattern_, next);
        throw;
    }
}

void FileListElement::setExclusions(std::shared_ptr<const NameFilter> exclude)
{
    if (exclude == exclude_)
        return; // the names were matched with it already
    exclude_ = std::move(exclude);
    QuietRead quiet;
    shown_ = matching(names_, quiet, passedOver_);
}

std::vector<uint32_t> FileListElement::matching(const FileNames &names, ScanListener &listener,
                                                int64_t &passedOver) const
{
    std::vector<uint32_t> shown;
    shown.reserve(names.size());
    passedOver = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        listener.tick();
        if (exclude_ && exclude_->excludes(names.view(i))) {
            ++passedOver;
            continue;
        }
        if (pattern_.matchesEverything() || pattern_.matches(QString::fromUtf8(names.view(i))))
            shown.push_back(uint32_t(i));
    }
    return shown;
}

void FileListElement::reread(std::optional<FolderFiles> readAlready)
{
    QuietRead quiet;
    FileNames files;
    struct timespec stamp {};
    if (readAlready && readAlready->path == path_) {
        files = std::move(readAlready->names);
        stamp = readAlready->stamp;
    } else {
        readAlready.reset(); // another folder's names are let go of before these are read
        // On a worker: the folder may be on a share that never answers (see CallWait).
        const QByteArray p = path_;
        FolderFiles read = CallWait::run<FolderFiles>(p, [p] {
            FolderFiles r;
            // The stamp before the read: entries that change during it change the stamp too.
            r.stamp = folderStamp(p);
            FolderHandle folder = FolderHandle::open(p);
            readFolder(folder, nullptr, &r.names, nullptr);
            return r;
        });
        files = std::move(read.names);
        stamp = read.stamp;
    }
    int64_t passedOver = 0;
    std::vector<uint32_t> shown = matching(files, quiet, passedOver);
    passedOver_ = passedOver;
    stamp_ = stamp;
    names_ = std::move(files);
    shown_ = std::move(shown);
}
