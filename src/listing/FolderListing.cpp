// SPDX-License-Identifier: GPL-3.0-or-later
#include "listing/FolderListing.h"

#include "listing/FileListElement.h"
#include "listing/FileListLines.h"
#include "scan/ByteConverter.h"
#include "scan/FolderLine.h"
#include "scan/engine/DirectoryList.h"
#include "scan/engine/ScanListener.h"
#include "scan/engine/SubfolderTrees.h"
#include "scan/engine/TreeCounter.h"
#include "shared/FsError.h"
#include "shared/Text.h"

#include <cstring>

namespace {
// Tells every problem on and never stops: a listing without a window goes on as after
// "continue". Nothing waits for its pump.
class ListingListener : public ScanListener {
public:
    explicit ListingListener(const ListingProblem &problem) : ScanListener({1000, -1}), problem_(problem) {}
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

protected:
    ScanEnd pump() override { return ScanEnd::Completed; }

private:
    const ListingProblem &problem_;
};

struct Subfolder {
    QByteArray path;
    QString text;
};

} // namespace

ListingLines savedFileLines(const ListingChoices &choices)
{
    ListingLines lines;
    lines.folder = [](const QByteArray &, const QString &text, std::optional<int64_t> bytes, int nameWidth) {
        return bytes ? folderLine(text, *bytes, nameWidth) : text;
    };
    lines.recursiveFile = [](const QByteArray &dir, const char *name, int64_t length) {
        // A file of this one name is counted but gets no line.
        return std::strcmp(name, "MSCREATE.DIR") != 0 ? recursiveFileLine(dir, name, length) : QString();
    };
    const FileListColumns columns{choices.fileSizes, choices.dates};
    lines.files = [columns](const QByteArray &folder, const FileListElement &files, const QString &prefix,
                            const std::function<void(const QString &)> &addLine, const ListingProblem &problem) {
        const QString shown = displayName(folder);
        return fileListLines(
            folder, files, columns, prefix, [&addLine](const QString &line, const LineKey &) { addLine(line); },
            [&](const QString &description, const QString &name) { problem(description, shown + name); }, [] {});
    };
    return lines;
}

ListingSnapshot listFolder(const QByteArray &path, ListingChoices choices, const ListingProblem &problem,
                           const ListingLines &lines)
{
    if (choices.recursive)
        choices.folderSizes = true; // as the window's Recursive box does
    ListingListener listener(problem);
    DirectoryList list;
    FolderFiles read;
    list.setPath(path, &listener, &read);
    const QByteArray folder = list.path();
    const QByteArray withSlash = folder.endsWith('/') ? folder : folder + '/';
    FileListElement files;
    files.setPattern(choices.pattern);
    files.setPath(folder, std::move(read));

    ListingSnapshot s;
    s.title = choices.title;
    s.includeFolders = choices.includeFolders;
    s.folderSizes = choices.folderSizes;
    s.recursive = choices.recursive;
    s.fileSizes = choices.fileSizes;
    s.indentation = choices.indentation;
    s.currentFolderPath = displayName(withSlash);

    std::vector<Subfolder> subfolders;
    int longest = 0;
    for (int i = 0; i < list.count(); ++i) {
        const QByteArray entry = list.entry(i);
        QString text = displayName(entry);
        longest = std::max(longest, int(charCount(text)));
        subfolders.push_back({entry, std::move(text)});
    }
    const int nameWidth = longest + 1;

    const auto addFileLine = [&s](const QString &line) { s.fileLines.append(line); };
    // Without Recursive the file list comes first, then the folders are counted; with it the
    // trees' lines come first and the folder's own files after them.
    int64_t fileListTotalBytes = 0;
    if (!choices.recursive)
        fileListTotalBytes = lines.files(withSlash, files, QString(), addFileLine, problem);

    std::vector<int64_t> bytes;
    int64_t folderTotalBytes = 0;
    if (choices.folderSizes) {
        TreeCounter counter(listener, folder);
        int64_t ownBytes = 0;
        std::vector<QByteArray> trees;
        for (const Subfolder &sub : subfolders)
            trees.push_back(sub.path); // a link to a folder counts its own length, unwalked
        if (countSubfolderTrees(
                listener, counter, folder, trees, choices.recursive ? lines.recursiveFile : ParallelCount::LineOf(),
                [&s](const TextLines &more) { s.fileLines.append(more); }, [&bytes](int64_t b) { bytes.push_back(b); },
                &ownBytes)
            != ScanEnd::Completed)
            throw FsError(FsError::fromErrno(ENOENT).description()); // the folder itself is gone
        for (int64_t b : bytes)
            s.folderLinesBytes += b; // the heading is the sum of the lines
        folderTotalBytes = s.folderLinesBytes + ownBytes;
    }
    for (size_t i = 0; i < subfolders.size(); ++i)
        s.folderLines.append(lines.folder(subfolders[i].path, subfolders[i].text,
                                          choices.folderSizes ? std::optional(bytes[i]) : std::nullopt, nameWidth));

    if (choices.recursive)
        fileListTotalBytes = lines.files(withSlash, files, s.currentFolderPath, addFileLine, problem);
    s.fileListTotalText = ByteConverter(double(fileListTotalBytes));

    s.parentFolderLine = s.currentFolderPath + choices.pattern;
    if (choices.folderSizes)
        s.parentFolderLine += QStringLiteral("  ") + ByteConverter(double(folderTotalBytes));
    return s;
}
