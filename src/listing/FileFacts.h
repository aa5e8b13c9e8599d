#pragma once
#include "scan/FolderReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <cstdint>

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

    // Throws FsError for a file that cannot be read (one that vanished, for instance).
    FileFacts read(const char *name) const;

private:
    FolderHandle folder_;
    QString openError_; // why the folder could not be opened
    QTimeZone zone_;
};
