// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/BlockGather.h"

#include <utility>

BlockGather::BlockGather(qsizetype blockSize, std::function<void(QByteArrayView)> send)
    : blockSize_(blockSize), send_(std::move(send))
{
    block_.reserve(blockSize);
}

void BlockGather::put(QByteArrayView bytes)
{
    if (block_.size() + bytes.size() > blockSize_)
        flush();
    if (bytes.size() >= blockSize_)
        send_(bytes);
    else
        block_.append(bytes);
}

void BlockGather::flush()
{
    if (block_.isEmpty())
        return;
    send_(block_);
    block_.resize(0); // keeps its room: clear() would free it, and each block be grown again
}
