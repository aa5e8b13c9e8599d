// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/FileLineMaker.h"

#include "core/listing/FileLine.h"
#include "core/listing/ModifiedText.h"
#include "core/scan/ByteConverter.h"
#include "core/shared/Text.h"

#include <QDateTime>

QString FileLineMaker::line(qsizetype i) const
{
    const File &f = files_[size_t(i)];
    FileLineColumns shown;
    if (columns_.size)
        shown.sizeText = ByteConverter(double(f.length));
    if (columns_.modified) {
        // A zone of this call's own: the lines may be made on several threads at once.
        const QTimeZone zone = zone_;
        const QDateTime modified = !f.read           ? QDateTime()
                                   : zone.isValid() ? QDateTime::fromSecsSinceEpoch(f.modified, zone)
                                                    : QDateTime::fromSecsSinceEpoch(f.modified);
        shown.modifiedText = FileModifiedText(modified);
    }
    const QString line = BuildFileListLine(displayName(QByteArrayView(f.name)), nameWidth_, shown);
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
