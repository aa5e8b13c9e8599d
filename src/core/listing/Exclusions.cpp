// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/listing/Exclusions.h"

#include "core/listing/FilePattern.h"

namespace {
class PatternFilter : public NameFilter {
public:
    explicit PatternFilter(const QString &patterns) : pattern_(patterns) {}
    bool excludes(QByteArrayView name) const override { return pattern_.matches(QString::fromUtf8(name)); }

private:
    const FilePattern pattern_; // its matching keeps nothing between calls
};
} // namespace

std::shared_ptr<const NameFilter> exclusionFilter(const QString &patterns)
{
    auto filter = std::make_shared<const PatternFilter>(patterns); // a refused pattern throws here
    for (const QString &part : patterns.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            return filter;
    return nullptr; // the file pattern takes no pattern for every name; here it leaves nothing out
}

QString excludedNote(int64_t entries)
{
    return entries > 0 ? QStringLiteral("  %1 excluded").arg(entries) : QString();
}
