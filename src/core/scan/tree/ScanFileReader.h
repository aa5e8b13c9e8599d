// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanTree.h"

#include <QString>
#include <cstdint>
#include <functional>

class QIODevice;

// What became of reading a scan file.
struct ScanFileResult {
    enum class Outcome { Read, Cancelled, Failed };
    Outcome outcome = Outcome::Read;
    // When it failed, one line: Cannot read the scan "PATH": WHAT (line L, column C).
    QString message;
    bool ok() const { return outcome == Outcome::Read; }
};

// Asked every few thousand entries with the bytes of the file read so far: whether to go on.
using ScanFileProgress = std::function<bool(int64_t bytesRead)>;

// Reads a scan in the ncdu export format (ours, ncdu's and gdu's; gzip-compressed too) into
// `tree`, in blocks, never holding the whole text. The tree is replaced only when the whole
// file was read; a file that is cut short, damaged or in another format, or a stop asked for
// by `keepGoing`, leaves it as it was.
//
// A folder in an array ([{...}, entries...]) was walked; one whose array holds nothing but a
// "read_error" or an "excluded" mark was not (NotRead; a view of the kernel's for "kernfs", on
// another device for "otherfs" or "othfs"), nor was an "excluded" entry outside an array; any
// other "excluded" mark ("pattern") is a name the scan passed over (see passedOver). An
// entry outside an array with "read_error" is a name that could not be looked at; "notreg"
// marks anything but a regular file. A size left out is 0; a time left out is not known
// (INT64_MIN), and the lists show no date for it. A file of
// several names (hlnkc, or nlink above 1, with its ino) counts once in the totals, where it is
// met first; a folder's dev holds for what lies below it. Names are kept as their bytes.
//
// Refused, with the line and column where reading stopped: a name that is empty, longer than
// 255 bytes, or holds "/" (the top's, its path, may) or a NUL; two entries of one name in a
// folder; a negative size; a number out of range; folders nested deeper than 10,000; text
// after the scan; and anything that is not JSON.
ScanFileResult readScanFile(const QString &path, ScanTree &tree, const ScanFileProgress &keepGoing = {});
// The same from `device`, open for reading; `path` names it in the message.
ScanFileResult readScanFile(QIODevice &device, const QString &path, ScanTree &tree,
                            const ScanFileProgress &keepGoing = {});
