#pragma once
#include "scan/FolderReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <cstdint>
#include <functional>
#include <vector>

// What the complete file list shows of a file: its length and its modification time in
// local time.
struct FileFacts {
    int64_t length = 0;
    QDateTime modified;
};

// Reads the files of one folder with one look per file, relative to the open folder, so that
// a list of 100,000 files stays quick. A link to a file has its target's length and time; a
// dangling link its own.
class FolderFileFacts {
public:
    // A folder that cannot be opened makes every read fail with the folder's error.
    explicit FolderFileFacts(const QByteArray &folder);

    // Looks up files 0 to count - 1 at once, for read() to answer. Nearly all the time of a
    // big folder goes into the kernel's look-ups, so two threads share them. The calling
    // thread runs `between`, if given, between its slices of the work.
    void lookUp(int count, const std::function<const char *(int)> &name, const std::function<void()> &between = {});
    // The facts of file i, called `name`: from the look-up, or read now when it has none.
    // Throws FsError for a file that cannot be read (one that vanished, for instance).
    FileFacts read(int i, const char *name) const;

private:
    FileFacts facts(int64_t length, qint64 modified) const;

    struct Looked {
        int64_t length;
        int64_t modified; // seconds since the epoch
        int error;        // 0, or the system's error number
    };
    FolderHandle folder_;
    QString openError_; // why the folder could not be opened
    QTimeZone zone_;
    std::vector<Looked> looked_;
};
