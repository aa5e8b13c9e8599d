// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <vector>

// The recursive listing's lines of one folder's files, made when they are read: the folder's
// path is kept once, and each file's name and size, not its line's text (a listing of a
// million files would otherwise hold a million copies of their folders' paths). Files are
// added by the thread that walks the folder, before the lines are handed on; after that it
// does not change, so any thread may read them.
class PathLineMaker : public LineMaker {
public:
    explicit PathLineMaker(QByteArray folder);
    const QByteArray &folder() const { return folder_; }

    // Adds a file; answers its number here, and where its name ends in its line (see LineKey).
    qsizetype add(QByteArrayView name, int64_t bytes, int32_t &nameEnd);

    QByteArray make(qsizetype i) const override { return makeView(i).toByteArray(); }
    QByteArrayView makeView(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;

private:
    QByteArrayView nameOf(qsizetype i) const;

    QByteArray folder_;
    qsizetype nameStart_;        // where a plain name starts in its line; -1 when the path is not plain
    QByteArray names_;           // one after another
    std::vector<uint32_t> ends_; // where each name ends in names_
    std::vector<int64_t> bytes_;
};

// Where a plain name starts in the recursive line of a file of `folder`: past the folder's path
// and its "/"; -1 when the path is not plain ASCII (see recursiveNameEnd).
qsizetype plainNameStart(const QByteArray &folder);
// Where the name of such a line ends, without making the line when path and name are plain;
// `nameStart` is plainNameStart(folder).
int32_t recursiveNameEnd(const QByteArray &folder, qsizetype nameStart, QByteArrayView name, int64_t bytes);

// The line of a file of a recursive listing as UTF-8: the folder's path, "/", the file name, one
// blank and the size text of `bytes`; and where the name ends in it. Made in one buffer each
// thread keeps: valid until the thread makes the next.
QByteArrayView recursiveFileLine(const QByteArray &folder, QByteArrayView name, int64_t bytes, int32_t &nameEnd);
