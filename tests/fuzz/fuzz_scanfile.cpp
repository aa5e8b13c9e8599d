// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a scan file: never a crash; refused with one line that says where, leaving the
// tree empty; or read, and then what is written of the tree reads back to the same text.
#include "core/output/ScanFileWriter.h"
#include "core/scan/tree/ScanFileReader.h"

#include <QBuffer>
#include <cstdlib>

namespace {
ScanFileResult read(const QByteArray &text, ScanTree &tree)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return readScanFile(buffer, QStringLiteral("fuzz"), tree);
}

// What is written of a tree read from `text`, less its first line (which has the time).
QByteArray rewritten(const QByteArray &text)
{
    ScanTree tree;
    if (!read(text, tree).ok() || tree.isEmpty())
        std::abort();
    QByteArray out;
    writeScanTree(tree, [&](QByteArrayView piece) { out += piece; });
    return out.mid(out.indexOf('\n'));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    ScanTree tree;
    const ScanFileResult r = read(text, tree);
    if (!r.ok()) {
        if (r.outcome != ScanFileResult::Outcome::Failed || !tree.isEmpty()
            || !r.message.startsWith(QStringLiteral("Cannot read the scan \"fuzz\": ")) || !r.message.endsWith(u'.')
            || r.message.contains(u'\n'))
            std::abort();
        return 0;
    }
    // A folder written as not walked and holding nothing reads back as walked: one round
    // settles it, and then the text stays the same.
    QByteArray once;
    writeScanTree(tree, [&](QByteArrayView piece) { once += piece; });
    const QByteArray twice = rewritten(once);
    if (rewritten("[1,2,{}," + twice) != twice)
        std::abort();
    return 0;
}
