// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/ProgressText.h"

#include "core/scan/ByteConverter.h"
#include "core/scan/engine/ScanProgress.h"
#include "core/shared/Text.h"

#include <QLocale>

QString progressCounts(const ScanProgress &progress)
{
    const QLocale locale;
    // The size text's own padding ("12    B ") is for columns; one blank is enough here.
    return QStringLiteral("Folders: %1   Files: %2   Size: %3   Reading: ")
        .arg(locale.toString(qint64(progress.folders)), locale.toString(qint64(progress.files)),
             ByteConverter(double(progress.bytes)).simplified());
}

QString progressFolder(const ScanProgress &progress)
{
    return displayName(progress.folder);
}
