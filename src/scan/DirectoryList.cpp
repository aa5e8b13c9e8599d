#include "scan/DirectoryList.h"

#include <QDir>
#include <QFile>

QByteArray normalFolderPath(const QByteArray &path)
{
    QByteArray p = path;
    if (!p.startsWith('/'))
        p = QFile::encodeName(QDir::currentPath()) + '/' + p;
    // Fold "//", "/./" and "/../" without touching links: cleanPath works on text, so go
    // through a lossless Latin-1 round trip of the bytes.
    p = QDir::cleanPath(QString::fromLatin1(p)).toLatin1();
    if (p.isEmpty())
        p = "/";
    return p;
}

void DirectoryList::setPath(const QByteArray &path)
{
    const QByteArray p = normalFolderPath(path);
    FolderHandle folder = FolderHandle::open(p);
    std::vector<SubfolderEntry> entries;
    read(folder, &entries, nullptr);
    path_ = p;
    entries_ = std::move(entries);
}

void DirectoryList::read(const FolderHandle &folder, std::vector<SubfolderEntry> *folders, FileNames *files)
{
    ++reads_;
    readFolder(folder, folders, files);
}
