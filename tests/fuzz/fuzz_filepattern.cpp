// SPDX-License-Identifier: GPL-3.0-or-later
// File patterns: the input is a pattern, a line feed and a name. A pattern never throws anything
// but FsError (always for one holding "/"), and it matches exactly the names a plain table of
// "this much of the pattern matches this much of the name" says it does. The fuzzer runs with a
// time limit per input, so a pattern shape that makes matching slow is a finding too.
#include "core/listing/FilePattern.h"
#include "core/shared/FsError.h"

#include <cstdlib>
#include <vector>

namespace {
std::vector<char32_t> folded(const QString &text)
{
    std::vector<char32_t> out;
    for (const char32_t c : text.toUcs4())
        out.push_back(QChar::toCaseFolded(c));
    return out;
}

// The reference: can pattern[i..] match name[j..]?
bool tableMatch(const std::vector<char32_t> &p, const std::vector<char32_t> &n)
{
    std::vector<char> next(n.size() + 1, 0), cur(n.size() + 1);
    next[n.size()] = 1;
    for (size_t i = p.size(); i-- > 0;) {
        for (size_t j = n.size() + 1; j-- > 0;) {
            if (p[i] == U'*')
                cur[j] = next[j] || (j < n.size() && cur[j + 1]);
            else
                cur[j] = j < n.size() && (p[i] == U'?' || p[i] == n[j]) && next[j + 1];
        }
        std::swap(cur, next);
    }
    return next[0];
}

bool reference(const QString &pattern, const QString &name)
{
    bool any = false;
    for (const QString &raw : pattern.split(u';')) {
        const QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        any = true;
        if (part == QLatin1String("*.*") || tableMatch(folded(part), folded(name)))
            return true;
    }
    return !any;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = input.indexOf(u'\n');
    const QString pattern = cut < 0 ? input : input.left(cut), name = cut < 0 ? QString() : input.mid(cut + 1);
    try {
        const FilePattern p(pattern);
        if (pattern.contains(u'/'))
            std::abort();
        // The table costs pattern x name steps of its own; the long inputs test the time alone.
        const bool matched = p.matches(name);
        if (pattern.size() * name.size() <= 100000 && matched != reference(pattern, name))
            std::abort();
        const bool plain = !pattern.contains(u';') && !pattern.contains(u'*') && !pattern.contains(u'?');
        if (plain && !pattern.trimmed().isEmpty() && pattern.trimmed() == pattern && !p.matches(pattern))
            std::abort();
    } catch (const FsError &) {
        if (!pattern.contains(u'/'))
            std::abort();
    }
    return 0;
}
