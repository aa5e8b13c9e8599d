// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/TitleCheck.h"

#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/Text.h"

#include <QStringView>

namespace {

// Characters a file name may not hold, in the order they are tested.
constexpr QStringView RefusedCharacters = u"\\/:*?\"<>|";

// The leftmost character of `title` that a file name may not hold, or a null QChar.
// Every refused character is ASCII, so looking at UTF-16 units finds the same position as
// looking at whole characters.
QChar firstRefusedCharacter(const QString &title)
{
    for (QChar c : title)
        if (RefusedCharacters.contains(c))
            return c;
    return QChar();
}

} // namespace

bool CheckSaveToFileName(const QString &title, MessageBoxes &boxes)
{
    bool answer = true;
    try {
        const qsizetype length = charCount(title);
        if (!(length > 0 && length < 256)) {
            boxes.show(QStringLiteral("Page Title is the wrong size.\rMust be > 0 and < 256 characters"),
                       QStringLiteral("Listwright - Invalid Name"));
            return false;
        }
        const QChar refused = firstRefusedCharacter(title);
        if (!refused.isNull()) {
            boxes.show(QStringLiteral("The ") + refused
                           + QStringLiteral(" character is not allowed in a filename.\r"
                                            "Please remove this character from Page Title"),
                       QStringLiteral("Listwright - Invalid Character"));
            return false;
        }
    } catch (const std::exception &e) {
        // The title is let through; a name the file system cannot take fails at the save.
        boxes.show(errorDescription(e), QStringLiteral("Listwright - Error Checking Save To File Name"));
    }
    return answer;
}
