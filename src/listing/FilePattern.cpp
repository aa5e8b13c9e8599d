#include "listing/FilePattern.h"

#include "shared/FsError.h"

#include <QChar>

namespace {
constexpr char32_t Star = U'*', AnyOne = U'?';

// A text as case-folded code points, so that one comparison of two code points ignores case.
std::vector<char32_t> folded(const QString &text)
{
    std::vector<char32_t> out;
    out.reserve(size_t(text.size()));
    for (const char32_t c : text.toUcs4())
        out.push_back(QChar::toCaseFolded(c));
    return out;
}

// Wildcard matching without backtracking beyond the last "*": whatever the text between two
// stars matches first is as good as any later match, because the next star can swallow the
// rest. A failure therefore only moves the last star's match one code point further, and each
// name position is tried by one piece of the pattern only: at most name x pattern steps.
bool wildcardMatch(const std::vector<char32_t> &pattern, const std::vector<char32_t> &name)
{
    size_t p = 0, n = 0;
    size_t starP = SIZE_MAX, starN = 0; // after the last star seen, and where its match ends
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == Star) {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == AnyOne || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != SIZE_MAX) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == Star)
        ++p;
    return p == pattern.size();
}
} // namespace

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
        std::vector<char32_t> codes = folded(part);
        // Stars in a row are one star.
        std::vector<char32_t> merged;
        merged.reserve(codes.size());
        for (const char32_t c : codes)
            if (c != Star || merged.empty() || merged.back() != Star)
                merged.push_back(c);
        parts_.push_back(std::move(merged));
    }
    if (parts_.empty())
        all_ = true;
}

bool FilePattern::matches(const QString &name) const
{
    if (all_)
        return true;
    const std::vector<char32_t> codes = folded(name);
    for (const std::vector<char32_t> &part : parts_)
        if (wildcardMatch(part, codes))
            return true;
    return false;
}
