// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileLineMaker.h"

#include "core/listing/FileFacts.h"
#include "core/shared/Text.h"

QString FileLineMaker::line(qsizetype i) const
{
    const File &f = files_[size_t(i)];
    FileFacts facts; // those of a file that could not be read: 0 bytes, no date
    if (f.read) {
        // A zone of this call's own: the lines may be made on several threads at once.
        const QTimeZone zone = zone_;
        facts.length = f.length; // the size shown: with disk usage, the allocated bytes
        facts.allocated = f.length;
        facts.modified = localModified(f.modified, zone);
        facts.modifiedSeconds = f.modified;
    }
    LineKey key;
    const QString line = fileListLine(displayName(QByteArrayView(f.name)), nameWidth_, columns_, facts, key);
    return prefix_.isEmpty() ? line : prefix_ + line;
}

QByteArray FileLineMaker::make(qsizetype i) const
{
    return line(i).toUtf8();
}

QByteArray FileLineMaker::name(qsizetype i) const
{
    return displayName(QByteArrayView(files_[size_t(i)].name)).toUtf8();
}
