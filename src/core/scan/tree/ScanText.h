// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

// Why a scan file cannot be read, and where its reading stopped: the line and the column (in
// bytes, both from 1) of its text, once decompressed; 0 where that place is not known.
struct ScanFileFault {
    QString what;
    int64_t line = 0;
    int64_t column = 0;
};

// The bytes of a scan file as they are stored, read in blocks.
class ScanFileSource {
public:
    virtual ~ScanFileSource() = default;
    // Up to `max` more bytes at `to`; 0 at the end. Throws ScanFileFault.
    virtual qsizetype read(char *to, qsizetype max) = 0;

    // A file open for reading (its descriptor stays the caller's), or a device.
    static std::unique_ptr<ScanFileSource> ofFile(int fd);
    static std::unique_ptr<ScanFileSource> ofDevice(QIODevice &device);
};

// The text of a scan file, in blocks of 64 KiB or so, through gzip when the file starts with
// gzip's mark (1f 8b): the whole text is never held.
class ScanText {
public:
    explicit ScanText(ScanFileSource &file);
    ~ScanText();
    // The next block of the text; empty at its end. Throws ScanFileFault.
    QByteArrayView next();
    // How far the file itself has been read, in its own bytes.
    int64_t fileBytesRead() const { return fileBytes_; }

private:
    qsizetype readFile(char *to, qsizetype max);
    QByteArrayView inflated();

    static constexpr qsizetype Block = 1 << 16;
    ScanFileSource &file_;
    std::vector<char> in_, out_;
    int64_t fileBytes_ = 0;
    bool started_ = false;
    qsizetype firstBytes_ = 0; // of a plain file, read to look for gzip's mark, not yet given
    struct Gzip;
    std::unique_ptr<Gzip> gzip_;
};
