// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FolderListing.h"

#include "core/listing/FileFacts.h"
#include "core/listing/FileListElement.h"
#include "core/listing/Exclusions.h"
#include "core/listing/FileListLines.h"
#include "core/scan/ByteConverter.h"
#include "core/scan/FolderLine.h"
#include "core/scan/engine/DirectoryList.h"
#include "core/scan/engine/FolderScan.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"


namespace {
// Tells every problem on and never stops: a listing without a window goes on as after
// "continue". Nothing waits for its pump. The lines go into the snapshot as `lines` makes them.
class ListingPort : public ScanPort {
public:
    ListingPort(const ListingProblem &problem, const ListingLines &lines, ListingSnapshot &s, WalkScope scope)
        : ScanPort({1000, -1, std::move(scope)}), problem_(problem), lines_(lines), s_(s)
    {
    }
    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        problem_(description, entryName);
        return ScanEnd::Completed;
    }
    // A file is told by its full path: its folder's, then its name.
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        return problem(description, folder.endsWith(u'/') ? folder + name : folder + u'/' + name);
    }
    void folderLine(const ScanSubfolder &subfolder, std::optional<ShownSize> size, int nameWidth) override
    {
        s_.folderLines.append(lines_.folder(subfolder.path, subfolder.text, size, nameWidth, subfolder.modified));
        if (size) { // the heading is the sum of the lines
            s_.folderLinesBytes += size->bytes;
            s_.folderLinesFiles += size->files;
        }
    }
    void fileLines(const TextLines &more) override { s_.fileLines.appendText(more); } // nothing sorts them
    void ownFilesCounted(ShownSize size) override { own = size; }
    void passedOver(int64_t entries) override { passed = entries; }

    ShownSize own;
    int64_t passed = 0;

protected:
    ScanEnd pump() override { return ScanEnd::Completed; }

private:
    const ListingProblem &problem_;
    const ListingLines &lines_;
    ListingSnapshot &s_;
};

// A scan that did not run to its end found the folder itself gone (and said so).
void checkNotGone(ScanEnd end)
{
    if (end != ScanEnd::Completed)
        throw FsError(FsError::fromErrno(ENOENT).description());
}
} // namespace

ListingLines savedFileLines(const ListingChoices &choices)
{
    ListingLines lines;
    lines.folder = [counts = choices.counts](const QByteArray &, const QString &text, std::optional<ShownSize> size,
                                             int nameWidth, int64_t) {
        return size ? folderLine(text, *size, nameWidth, counts) : text;
    };
    lines.recursiveFile = recursiveListingLine;
    const FileListColumns columns{choices.fileSizes, choices.dates, choices.diskUsage};
    lines.files = [columns](const QByteArray &folder, const FileListElement &files, const QString &prefix,
                            TextLines &out, const ListingProblem &problem) {
        const QString shown = displayName(folder);
        return fileListLines(
            folder, files, columns, prefix, out,
            [&](const QString &description, const QString &name) { problem(description, shown + name); }, [] {});
    };
    lines.file = [columns](const QByteArray &, const QString &name, qsizetype nameWidth, const FileFacts *facts,
                           const QString &prefix) {
        LineKey key;
        return prefix + fileListLine(name, nameWidth, columns, facts ? *facts : FileFacts{}, key);
    };
    return lines;
}

ListingSnapshot listingStart(const ListingChoices &choices, const QByteArray &folder)
{
    ListingSnapshot s;
    s.title = choices.title;
    s.includeFolders = choices.includeFolders;
    s.folderSizes = choices.folderSizes;
    s.recursive = choices.recursive;
    s.fileSizes = choices.fileSizes;
    s.indentation = choices.indentation;
    s.counts = choices.counts;
    s.diskUsage = choices.diskUsage;
    s.currentFolderPath = displayName(folder.endsWith('/') ? folder : folder + '/');
    return s;
}

ListingSnapshot listFolder(const QByteArray &path, ListingChoices choices, const ListingProblem &problem,
                           const ListingLines &lines)
{
    if (choices.recursive)
        choices.folderSizes = true; // as the window's Recursive box does
    const WalkScope scope{choices.oneFileSystem, exclusionFilter(choices.exclude)};
    ListingSnapshot s;
    ListingPort port(problem, lines, s, scope);
    DirectoryList list;
    FolderFiles read;
    list.setPath(path, &port, &read);
    const QByteArray folder = list.path();
    s = listingStart(choices, folder);
    const QByteArray withSlash = folder.endsWith('/') ? folder : folder + '/';
    FileListElement files;
    files.setPattern(choices.pattern);
    files.setExclusions(scope.exclude);
    files.setPath(folder, std::move(read));


    // As the window's refresh goes: without Recursive the file list comes first, then the
    // folder list; with it the trees' lines first, the folder list taking over their sizes,
    // and the folder's own files after them.
    FolderScanStart start = folderScanStart(list);
    if (scope.exclude)
        leaveOut(start, *scope.exclude);
    const ScanChoices scan{choices.folderSizes, choices.diskUsage};
    ShownSize fileListTotal;
    if (choices.recursive) {
        CountedSizes counted;
        checkNotGone(scanRecursiveFiles(port, start, scan, lines.recursiveFile, counted));
        checkNotGone(scanFolderList(port, start, scan, &counted));
        fileListTotal = lines.files(withSlash, files, s.currentFolderPath, s.fileLines, problem);
    } else {
        fileListTotal = lines.files(withSlash, files, QString(), s.fileLines, problem);
        checkNotGone(scanFolderList(port, start, scan));
    }
    s.fileListTotalText = ByteConverter(double(fileListTotal.bytes));
    s.fileListTotalFiles = fileListTotal.files;

    ShownSize total{s.folderLinesBytes, s.folderLinesFiles};
    total += port.own;
    s.parentFolderLine = parentFolderText(s.currentFolderPath + choices.pattern,
                                          choices.folderSizes ? std::optional(total) : std::nullopt, choices.counts,
                                          choices.diskUsage, port.passed + files.passedOver());
    return s;
}
