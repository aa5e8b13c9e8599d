// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

bool isFixedFace(const QString &face)
{
    return face == QLatin1String("Fixedsys") || face.startsWith(QLatin1String("Courier"));
}

// Makes `font` resolve to a fixed-pitch face: its own face when the machine has a fixed-pitch
// match for it, else the first family of a short list of monospaced faces that does. The
// lists align their columns by character counts, so a proportional face never does here, and
// neither does a face that fontconfig calls monospaced without marking its spacing.
void makeFixedPitch(QFont &font)
{
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch())
        return;
    QStringList candidates{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family()};
    for (const QString &family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family))
            candidates.append(family);
    const QFont asked = font;
    for (const QString &family : candidates) {
        font.setFamilies({family});
        if (QFontInfo(font).fixedPitch())
            return;
    }
    font = asked;
}

} // namespace

QFont designFont(const QString &face, double pointSize, bool bold)
{
    QFont font(face);
    if (isFixedFace(face))
        makeFixedPitch(font);
    else if (face == QLatin1String("Verdana") || face == QLatin1String("Arial")
             || face == QLatin1String("MS Sans Serif"))
        font.setStyleHint(QFont::SansSerif);
    // The windows were laid out for the narrow dialog face "MS Sans Serif", which no Linux
    // machine has. Its nearest relation here is Arial's metric twin, drawn 5% narrower, so that
    // texts keep to the boxes made for them (the general fallback is wider by a tenth). Every
    // font states its stretch, so that no element takes over its window's.
    const bool dialogFaceMissing = face == QLatin1String("MS Sans Serif") && QFontInfo(font).family() != face;
    if (dialogFaceMissing)
        font.setFamilies({QStringLiteral("Liberation Sans")});
    font.setStretch(dialogFaceMissing ? 95 : int(QFont::Unstretched));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
