#include "listing/FileListElement.h"

#include "scan/engine/DirectoryList.h"
#include "scan/engine/FolderReader.h"
#include "shared/Text.h"

QString FileListElement::name(int i) const
{
    return displayName(names_.view(size_t(i)));
}

bool FileListElement::setPath(const QByteArray &path)
{
    const QByteArray before = path_;
    const QByteArray p = normalFolderPath(path);
    if (p == before)
        return false;
    path_ = p;
    try {
        reread();
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
    try {
        reread();
    } catch (...) {
        std::swap(pattern_, next);
        throw;
    }
}

void FileListElement::reread()
{
    FolderHandle folder = FolderHandle::open(path_);
    FileNames files;
    readFolder(folder, nullptr, &files);
    files.filter([this](QByteArrayView name) { return pattern_.matches(QString::fromUtf8(name)); });
    names_ = std::move(files);
}
