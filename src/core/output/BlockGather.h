// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// Text in small pieces gathered into blocks on its way out: `send` gets a block whenever the
// next piece would not fit, and a piece as big as a block on its own, without a copy. What
// `send` throws goes to the caller of put() or flush().
class BlockGather {
public:
    BlockGather(qsizetype blockSize, std::function<void(QByteArrayView)> send);
    void put(QByteArrayView bytes);
    // What is gathered goes out.
    void flush();

private:
    qsizetype blockSize_;
    std::function<void(QByteArrayView)> send_;
    QByteArray block_;
};
