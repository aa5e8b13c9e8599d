// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FileListLines.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <cstdint>
#include <vector>

// The complete file list's lines of one folder, made when they are read: the list keeps a name
// and two numbers a file, not its line's text (a folder of 300,000 long names would otherwise
// hold its names twice). Once handed to lines it does not change, so any thread may read them.
class FileLineMaker : public LineMaker {
public:
    // `names` keeps the names added where they are (see FileListElement::namesKeeper).
    FileLineMaker(QByteArray names, qsizetype nameWidth, FileListColumns columns, QString prefix, QTimeZone zone)
        : names_(std::move(names)), nameWidth_(nameWidth), columns_(columns), prefix_(std::move(prefix)),
          zone_(std::move(zone))
    {
    }
    void reserve(size_t files) { files_.reserve(files); }
    // A file, its facts as read; `read` is false for one that could not be (0 bytes, no date).
    // `length` is the size its line shows (with disk usage, its allocated bytes).
    void add(const char *name, int64_t length, int64_t modifiedSeconds, bool read)
    {
        files_.push_back({name, length, modifiedSeconds, read});
    }

    QByteArray make(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;
    // The line as the list shows it.
    QString line(qsizetype i) const;

private:
    struct File {
        const char *name;
        int64_t length;
        int64_t modified;
        bool read;
    };
    QByteArray names_;
    qsizetype nameWidth_;
    FileListColumns columns_;
    QString prefix_;
    QTimeZone zone_;
    std::vector<File> files_;
};
