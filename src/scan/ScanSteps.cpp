#include "scan/ScanSteps.h"

#include "scan/DirFolderView.h"
#include "scan/ScanErrorReport.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/Text.h"

#include <QMainWindow>

void beginScanLook(MainForm &f)
{
    f.window->setCursor(Qt::WaitCursor);
    f.window->setWindowTitle(ScanningCaption);
}

void endScanLook(MainForm &f)
{
    f.window->unsetCursor();
    f.window->setWindowTitle(IdleCaption);
}

QString advancedCaption(const QString &caption)
{
    if (caption.size() < 100)
        return caption + QLatin1Char('.');
    return QStringLiteral("Listwright - Scanning .");
}

void advanceCaption(MainForm &f)
{
    f.window->setWindowTitle(advancedCaption(f.window->windowTitle()));
}

QString folderPathWithSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

void addOwnFiles(MainForm &f, const QByteArray &folder)
{
    try {
        FolderHandle handle = FolderHandle::open(folder);
        FileNames files;
        f.dirInvisFolder.read(handle, nullptr, &files);
        for (size_t i = 0; i < files.size(); ++i) {
            try {
                f.FolderTotalBytes += fileLengthAt(handle, files.name(i));
            } catch (const FsError &e) {
                reportScanError(f, e.description(), displayName(QByteArray(files.name(i))));
            }
        }
    } catch (const FsError &e) {
        reportScanError(f, e.description(), QString());
    }
}

ScanEnd countSubfolder(MainForm &f, TreeCounter &counter, int i, int64_t &bytes, const TreeCounter::FileSeen &fileSeen)
{
    if (f.dirFolder->isLink(i))
        return ScanEnd::Completed;
    const ScanEnd end = counter.count(f.dirFolder->entry(i), bytes, fileSeen);
    if (end == ScanEnd::Abandoned && !f.closing)
        endScanLook(f);
    return end;
}
