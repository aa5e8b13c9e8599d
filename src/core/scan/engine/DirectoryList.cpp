// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/DirectoryList.h"

#include "core/scan/engine/ScanListener.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Whether `path` is absolute with nothing to fold: no empty, "." or ".." part, no "/" at its end.
bool inNormalForm(const QByteArray &path)
{
    if (!path.startsWith('/'))
        return false;
    if (path.size() == 1)
        return true;
    for (qsizetype part = 1; part <= path.size(); ) {
        qsizetype end = path.indexOf('/', part);
        if (end < 0)
            end = path.size();
        const qsizetype length = end - part;
        if (length == 0 || (length == 1 && path[part] == '.') || (length == 2 && path[part] == '.' && path[part + 1] == '.'))
            return false;
        part = end + 1;
    }
    return true;
}
} // namespace

QByteArray normalFolderPath(const QByteArray &path)
{
    if (inNormalForm(path))
        return path;
    QByteArray p = path;
    if (!p.startsWith('/'))
        p = workingFolder() + '/' + p;
    // Fold "//", "/./" and "/../" without touching links: cleanPath works on text, so go
    // through a lossless Latin-1 round trip of the bytes.
    p = QDir::cleanPath(QString::fromLatin1(p)).toLatin1();
    if (p.isEmpty())
        p = "/";
    return p;
}

QByteArray workingFolder()
{
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd ? QByteArray(cwd.get()) : QFile::encodeName(QDir::currentPath());
}

void DirectoryList::setPath(const QByteArray &path, ScanListener *listener, FolderFiles *files)
{
    const QByteArray p = normalFolderPath(path);
    const struct timespec stamp = folderStamp(p);
    FolderHandle folder = FolderHandle::open(p);
    std::vector<SubfolderEntry> entries;
    FileNames names;
    read(folder, &entries, files ? &names : nullptr, listener);
    // Each subfolder's own time, for the folder list's date order (a link's own).
    std::vector<int64_t> modified(entries.size(), INT64_MIN);
    for (size_t i = 0; i < entries.size(); ++i)
        if (struct stat st; ::fstatat(folder.fd(), entries[i].name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            modified[i] = st.st_mtim.tv_sec;
    path_ = p;
    entries_ = std::move(entries);
    modified_ = std::move(modified);
    stamp_ = stamp;
    if (files)
        *files = {p, stamp, std::move(names)};
}

bool DirectoryList::stale() const
{
    return !sameStamp(folderStamp(path_), stamp_);
}

void DirectoryList::read(const FolderHandle &folder, std::vector<SubfolderEntry> *folders, FileNames *files,
                         ScanListener *listener)
{
    if (listener)
        listener->folderRead();
    readFolder(folder, folders, files, listener);
}
