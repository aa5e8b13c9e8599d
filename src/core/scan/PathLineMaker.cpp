// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/PathLineMaker.h"

#include "core/scan/ByteConverter.h"
#include "core/shared/Text.h"

#include <string>

void recursiveFileLine(std::string &line, const QByteArray &folder, QByteArrayView name, int64_t bytes, int32_t &nameEnd)
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

PathLineMaker::PathLineMaker(QByteArray folder)
    : folder_(std::move(folder)),
      nameStart_(plainAscii(folder_) ? folder_.size() + (folder_.endsWith('/') ? 0 : 1) : -1)
{
}

qsizetype PathLineMaker::add(QByteArrayView name, int64_t bytes, int32_t &nameEnd)
{
    // Where the name ends in its line, without making the line.
    if (nameStart_ >= 0 && plainAscii(name))
        nameEnd = int32_t(nameStart_ + name.size());
    else
        make(name, bytes, nameEnd);
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

QByteArray PathLineMaker::make(QByteArrayView name, int64_t bytes, int32_t &nameEnd) const
{
    thread_local std::string line; // one buffer a thread keeps
    recursiveFileLine(line, folder_, name, bytes, nameEnd);
    return QByteArray(line.data(), qsizetype(line.size()));
}

QByteArray PathLineMaker::make(qsizetype i) const
{
    int32_t nameEnd = 0;
    return make(nameOf(i), bytes_[size_t(i)], nameEnd);
}

QByteArray PathLineMaker::name(qsizetype i) const
{
    return displayName(nameOf(i)).toUtf8();
}
