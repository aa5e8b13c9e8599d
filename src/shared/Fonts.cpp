#include "shared/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

QFont designFont(const QString &face, double pointSize, bool bold)
{
    QFont font(face);
    const bool fixed = face == QLatin1String("Fixedsys") || face.startsWith(QLatin1String("Courier"));
    if (fixed) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        if (!QFontInfo(font).fixedPitch()) {
            font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        }
    } else if (face == QLatin1String("Verdana") || face == QLatin1String("Arial")
               || face == QLatin1String("MS Sans Serif")) {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
