#include "scan/TreeCounter.h"

#include "scan/FolderWalker.h"
#include "scan/ScanErrorReport.h"
#include "scan/ScanPump.h"
#include "shared/FsError.h"
#include "shared/MainForm.h"
#include "shared/Text.h"

ScanEnd TreeCounter::report(const QString &description, const QString &entryName)
{
    reportScanError(f_, description, entryName);
    // The boxes run a loop of their own, in which a newer request may have come.
    return pump_.verdict();
}

ScanEnd TreeCounter::count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen)
{
    FolderWalker walker;
    if (!walker.StartWalk(subfolder, f_.dirInvisFolder)) {
        // The subfolder itself cannot be read: say so, and count nothing for it.
        return report(walker.startError(), displayName(subfolder));
    }
    for (;;) {
        const FolderHandle &folder = walker.currentFolder();
        const FileNames &files = walker.currentFiles();
        for (size_t i = 0, n = files.size(); i < n; ++i) {
            if (const ScanEnd end = pump_.tick(); end != ScanEnd::Completed)
                return end;
            const char *name = files.name(i);
            int64_t length;
            try {
                length = fileLengthAt(folder, name);
            } catch (const FsError &e) {
                if (const ScanEnd end = report(e.description(), displayName(QByteArray(name)));
                    end != ScanEnd::Completed)
                    return end;
                continue;
            }
            bytes += length;
            if (fileSeen)
                fileSeen(walker.currentPath(), name, length);
        }
        // Folders without files pass the pump too, so the window stays responsive.
        if (const ScanEnd end = pump_.tick(); end != ScanEnd::Completed)
            return end;
        // On to the next folder that can be read; one that fails is reported and skipped.
        for (;;) {
            QByteArray next;
            try {
                if (!walker.NextFolder(next))
                    return ScanEnd::Completed;
                break;
            } catch (const std::exception &e) {
                if (const ScanEnd end = report(errorDescription(e), displayName(walker.currentPath()));
                    end != ScanEnd::Completed)
                    return end;
            }
        }
    }
}
