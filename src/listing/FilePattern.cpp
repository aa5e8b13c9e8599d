#include "listing/FilePattern.h"

#include "shared/FsError.h"

FilePattern::FilePattern(const QString &pattern) : text_(pattern)
{
    if (pattern.contains(QLatin1Char('/')))
        throw FsError(QStringLiteral("Invalid file pattern: \"%1\" holds a \"/\"; a pattern names files, not folders.")
                          .arg(pattern));
    for (const QString &raw : pattern.split(QLatin1Char(';'))) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        if (part == QLatin1String("*.*") || part == QLatin1String("*")) {
            all_ = true;
            continue;
        }
        QString rx;
        for (QChar c : part) {
            if (c == QLatin1Char('*'))
                rx += QLatin1String(".*");
            else if (c == QLatin1Char('?'))
                rx += QLatin1Char('.');
            else if (c.isSurrogate())
                rx += c; // half of a character beyond the first plane: never special
            else // by code, so that no character (a NUL before a digit, say) can read as anything else
                rx += QStringLiteral("\\x{%1}").arg(c.unicode(), 0, 16);
        }
        parts_.append(QRegularExpression(QRegularExpression::anchoredPattern(rx),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption));
    }
    if (parts_.isEmpty())
        all_ = true;
}

bool FilePattern::matches(const QString &name) const
{
    if (all_)
        return true;
    for (const QRegularExpression &rx : parts_)
        if (rx.match(name).hasMatch())
            return true;
    return false;
}
