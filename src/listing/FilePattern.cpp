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
            else
                rx += QRegularExpression::escape(QString(c));
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
