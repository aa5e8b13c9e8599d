// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/TextLines.h"

#include "core/shared/LineFilter.h"

#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace {
// Lines never straddle blocks; a longer line gets a block of its own size.
constexpr qsizetype BlockSize = 1 << 20, FirstBlockSize = 1 << 12;
}

TextLines::TextLines(const QStringList &lines)
{
    for (const QString &line : lines)
        append(line);
}

TextLines::TextLines(std::initializer_list<QString> lines)
{
    for (const QString &line : lines)
        append(line);
}

QByteArrayView LineMaker::makeView(qsizetype i) const
{
    thread_local QByteArray made;
    made = make(i);
    return made;
}

QByteArrayView TextLines::utf8View(qsizetype i) const
{
    const Start start = starts_.at(i);
    if (start.block & Made)
        return makers_.at(start.block & ~Made)->makeView(start.offset);
    const QByteArray &block = blocks_.at(start.block);
    // It ends where the next line of text starts, in the same block; lines made between them
    // take no room there.
    qsizetype end = block.size();
    for (qsizetype j = i + 1; j < starts_.size(); ++j) {
        const Start next = starts_.at(j);
        if (next.block & Made)
            continue;
        if (next.block == start.block)
            end = next.offset;
        break;
    }
    return QByteArrayView(block.constData() + start.offset, end - start.offset);
}

QByteArray TextLines::utf8(qsizetype i) const
{
    const Start start = starts_.at(i);
    if (start.block & Made)
        return makers_.at(start.block & ~Made)->make(start.offset);
    const QByteArrayView line = utf8View(i);
    return QByteArray::fromRawData(line.data(), line.size());
}

QByteArray TextLines::shownName(qsizetype i, int32_t nameEnd) const
{
    const Start start = starts_.at(i);
    if (start.block & Made)
        return makers_.at(start.block & ~Made)->name(start.offset);
    const QByteArray line = utf8(i);
    const QByteArrayView name = lineName(line, nameEnd);
    return QByteArray::fromRawData(name.data(), name.size());
}

void TextLines::appendMade(const std::shared_ptr<const LineMaker> &maker, qsizetype i, LineKey key)
{
    keys_.resize(starts_.size());
    appendMade(maker, i);
    keys_.append(key);
}

void TextLines::appendMade(const std::shared_ptr<const LineMaker> &maker, qsizetype i)
{
    if (makers_.isEmpty() || makers_.last() != maker)
        makers_.append(maker);
    starts_.append({quint32(makers_.size() - 1) | Made, quint32(i)});
}

void TextLines::appendLineOf(const TextLines &from, qsizetype i)
{
    const Start start = from.starts_.at(i);
    if (start.block & Made)
        appendMade(from.makers_.at(start.block & ~Made), start.offset);
    else
        append({from.utf8(i)});
}

const LineMaker *TextLines::lastMaker() const
{
    if (starts_.isEmpty() || !(starts_.last().block & Made))
        return nullptr;
    return makers_.at(starts_.last().block & ~Made).get();
}

QStringList TextLines::toStringList() const
{
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(at(i));
    return out;
}

// Room for a line of at most `maxBytes` at the end of the last block. A block shared with a
// copy is left to the copy.
char *TextLines::startLine(qsizetype maxBytes)
{
    if (blocks_.isEmpty() || !blocks_.last().isDetached()
        || blocks_.last().capacity() - blocks_.last().size() < maxBytes) {
        // Blocks grow from a few lines' worth to BlockSize: the lines of one small tree, made
        // on a worker, then take no more memory (nor calls to the kernel) than they need.
        const qsizetype next = blocks_.isEmpty() ? FirstBlockSize : std::min(BlockSize, 2 * blocks_.last().capacity());
        QByteArray block;
        block.reserve(std::max(next, maxBytes));
        blocks_.append(block);
    }
    QByteArray &block = blocks_.last();
    const qsizetype offset = block.size();
    starts_.append({quint32(blocks_.size() - 1), quint32(offset)});
    block.resize(offset + maxBytes); // within the capacity: no copy
    return block.data() + offset;
}

void TextLines::endLine(qsizetype unused)
{
    QByteArray &block = blocks_.last();
    block.resize(block.size() - unused);
}

void TextLines::append(QStringView line)
{
    // Straight into the block; text with a lone surrogate goes through toUtf8(), whose "?" for
    // it the encoder would not write.
    if (!line.isValidUtf16()) {
        const QByteArray bytes = line.toUtf8();
        append({QByteArrayView(bytes)});
        return;
    }
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    const qsizetype most = toUtf8.requiredSpace(line.size());
    char *const out = startLine(most);
    char *const end = toUtf8.appendToBuffer(out, line);
    endLine(most - (end - out));
}

void TextLines::append(QStringView line, LineKey key)
{
    keys_.resize(starts_.size());
    append(line);
    keys_.append(key);
}

void TextLines::append(QByteArrayView utf8, LineKey key)
{
    keys_.resize(starts_.size());
    append({utf8});
    keys_.append(key);
}

void TextLines::append(std::initializer_list<QByteArrayView> pieces)
{
    qsizetype total = 0;
    for (QByteArrayView piece : pieces)
        total += piece.size();
    char *out = startLine(total);
    for (QByteArrayView piece : pieces) {
        if (!piece.isEmpty())
            std::memcpy(out, piece.data(), size_t(piece.size()));
        out += piece.size();
    }
}

void TextLines::append(const TextLines &more)
{
    const qsizetype from = starts_.size();
    appendText(more);
    // The keys come along: the lines of a tree counted in pieces sort as those of one walk.
    if (!more.keys_.isEmpty()) {
        keys_.resize(from);
        keys_.append(more.keys_);
    }
}

void TextLines::appendText(const TextLines &more)
{
    const quint32 firstBlock = quint32(blocks_.size());
    const quint32 firstMaker = quint32(makers_.size());
    blocks_.append(more.blocks_);
    makers_.append(more.makers_);
    const qsizetype from = starts_.size();
    starts_.resize(from + more.starts_.size());
    Start *out = starts_.data() + from;
    for (const Start start : more.starts_)
        *out++ = start.block & Made ? Start{(firstMaker + (start.block & ~Made)) | Made, start.offset}
                                    : Start{firstBlock + start.block, start.offset};
}

void TextLines::clear()
{
    blocks_.clear();
    makers_.clear();
    starts_.clear();
    keys_.clear();
}
