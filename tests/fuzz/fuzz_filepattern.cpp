// File patterns: the input is a pattern, a line feed and a name. A pattern never throws anything
// but FsError (always for one holding "/"), and one without wildcards or ";" matches its own text.
#include "listing/FilePattern.h"
#include "shared/FsError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = input.indexOf(u'\n');
    const QString pattern = cut < 0 ? input : input.left(cut), name = cut < 0 ? QString() : input.mid(cut + 1);
    try {
        const FilePattern p(pattern);
        if (pattern.contains(u'/'))
            std::abort();
        p.matches(name);
        const bool plain = !pattern.contains(u';') && !pattern.contains(u'*') && !pattern.contains(u'?');
        if (plain && !pattern.trimmed().isEmpty() && pattern.trimmed() == pattern && !p.matches(pattern))
            std::abort();
    } catch (const FsError &) {
        if (!pattern.contains(u'/'))
            std::abort();
    }
    return 0;
}
