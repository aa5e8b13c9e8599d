// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/PathLineMaker.h"

#include "core/scan/ByteConverter.h"
#include "core/shared/Text.h"

#include <string>

namespace {
void makeRecursiveFileLine(std::string &line, const QByteArray &folder, QByteArrayView name, int64_t bytes,
                           int32_t &nameEnd)
{
    // A path of plain ASCII is copied as it is.
    if (plainAscii(folder) && plainAscii(name)) {
        line.assign(folder.constData(), size_t(folder.size()));
        if (!folder.endsWith('/'))
            line += '/';
        line.append(name.data(), size_t(name.size()));
        nameEnd = int32_t(line.size());
        line += ' ';
        appendSizeTextUtf8(line, double(bytes));
        return;
    }
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    path += name;
    const QByteArray shown = displayName(path).toUtf8();
    nameEnd = int32_t(shown.size());
    line.assign(shown.constData(), size_t(shown.size()));
    line += ' ';
    appendSizeTextUtf8(line, double(bytes));
}
} // namespace

QByteArrayView recursiveFileLine(const QByteArray &folder, QByteArrayView name, int64_t bytes, int32_t &nameEnd)
{
    thread_local std::string line;
    makeRecursiveFileLine(line, folder, name, bytes, nameEnd);
    return QByteArrayView(line.data(), qsizetype(line.size()));
}

qsizetype plainNameStart(const QByteArray &folder)
{
    return plainAscii(folder) ? folder.size() + (folder.endsWith('/') ? 0 : 1) : -1;
}

int32_t recursiveNameEnd(const QByteArray &folder, qsizetype nameStart, QByteArrayView name, int64_t bytes)
{
    if (nameStart >= 0 && plainAscii(name))
        return int32_t(nameStart + name.size());
    int32_t nameEnd = 0;
    recursiveFileLine(folder, name, bytes, nameEnd);
    return nameEnd;
}

PathLineMaker::PathLineMaker(QByteArray folder) : folder_(std::move(folder)), nameStart_(plainNameStart(folder_)) {}

qsizetype PathLineMaker::add(QByteArrayView name, int64_t bytes, int32_t &nameEnd)
{
    nameEnd = recursiveNameEnd(folder_, nameStart_, name, bytes);
    names_.append(name);
    ends_.push_back(uint32_t(names_.size()));
    bytes_.push_back(bytes);
    return qsizetype(ends_.size() - 1);
}

QByteArrayView PathLineMaker::nameOf(qsizetype i) const
{
    const uint32_t start = i == 0 ? 0 : ends_[size_t(i - 1)];
    return QByteArrayView(names_).sliced(start, ends_[size_t(i)] - start);
}

QByteArrayView PathLineMaker::makeView(qsizetype i) const
{
    int32_t nameEnd = 0;
    return recursiveFileLine(folder_, nameOf(i), bytes_[size_t(i)], nameEnd);
}

QByteArray PathLineMaker::name(qsizetype i) const
{
    return displayName(nameOf(i)).toUtf8();
}
