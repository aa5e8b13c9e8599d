// SPDX-License-Identifier: GPL-3.0-or-later
// Page titles: one box for a refused title and none for an accepted one, and an accepted title
// makes a file name of 1 to 255 characters without any of the nine refused characters.
#include "core/output/TitleCheck.h"
#include "core/shared/Text.h"
#include "support/ScriptedMessageBoxes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString title = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    ScriptedMessageBoxes boxes;
    const bool accepted = CheckSaveToFileName(title, boxes);
    if (boxes.boxes.size() != (accepted ? 0 : 1))
        std::abort();
    const qsizetype length = charCount(title);
    if (accepted && (length < 1 || length > 255))
        std::abort();
    for (QChar refused : QStringView(u"\\/:*?\"<>|"))
        if (accepted && (title + QStringLiteral(".txt")).contains(refused))
            std::abort();
    return 0;
}
