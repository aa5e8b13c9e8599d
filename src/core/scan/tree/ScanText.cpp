// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/ScanText.h"

#include "core/shared/FsError.h"

#include <QIODevice>
#include <cerrno>
#include <unistd.h>
#include <new>
#include <utility>
#include <zlib.h>

namespace {
class FileSource : public ScanFileSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    qsizetype read(char *to, qsizetype max) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_, to, size_t(max));
            if (n >= 0)
                return n;
            if (errno != EINTR)
                throw ScanFileFault{FsError::fromErrno(errno).description()};
        }
    }

private:
    int fd_;
};

class DeviceSource : public ScanFileSource {
public:
    explicit DeviceSource(QIODevice &device) : device_(device) {}
    qsizetype read(char *to, qsizetype max) override
    {
        const qint64 n = device_.read(to, max);
        if (n < 0)
            throw ScanFileFault{device_.errorString()};
        return qsizetype(n);
    }

private:
    QIODevice &device_;
};
} // namespace

std::unique_ptr<ScanFileSource> ScanFileSource::ofFile(int fd)
{
    return std::make_unique<FileSource>(fd);
}

std::unique_ptr<ScanFileSource> ScanFileSource::ofDevice(QIODevice &device)
{
    return std::make_unique<DeviceSource>(device);
}

struct ScanText::Gzip {
    z_stream z{};
    bool fileEnded = false;
    bool memberEnded = false;
    Gzip()
    {
        if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
            throw std::bad_alloc();
    }
    ~Gzip() { inflateEnd(&z); }
};

ScanText::ScanText(ScanFileSource &file) : file_(file), in_(size_t(Block)) {}

ScanText::~ScanText() = default;

qsizetype ScanText::readFile(char *to, qsizetype max)
{
    const qsizetype n = file_.read(to, max);
    fileBytes_ += n;
    return n;
}

QByteArrayView ScanText::next()
{
    if (!started_) {
        started_ = true;
        // Enough of the file to see whether it starts with gzip's mark.
        for (qsizetype n = 1; firstBytes_ < 2 && n > 0; firstBytes_ += n)
            n = readFile(in_.data() + firstBytes_, Block - firstBytes_);
        if (firstBytes_ >= 2 && uchar(in_[0]) == 0x1f && uchar(in_[1]) == 0x8b) {
            gzip_ = std::make_unique<Gzip>();
            gzip_->z.next_in = reinterpret_cast<Bytef *>(in_.data());
            gzip_->z.avail_in = uInt(firstBytes_);
            out_.resize(size_t(Block));
        }
    }
    if (gzip_)
        return inflated();
    if (firstBytes_ > 0)
        return QByteArrayView(in_.data(), std::exchange(firstBytes_, 0));
    return QByteArrayView(in_.data(), readFile(in_.data(), Block));
}

QByteArrayView ScanText::inflated()
{
    Gzip &g = *gzip_;
    for (;;) {
        if (g.z.avail_in == 0 && !g.fileEnded) {
            const qsizetype n = readFile(in_.data(), Block);
            g.fileEnded = n == 0;
            g.z.next_in = reinterpret_cast<Bytef *>(in_.data());
            g.z.avail_in = uInt(n);
        }
        if (g.memberEnded) {
            if (g.z.avail_in == 0)
                return {}; // the end of the last member
            inflateReset(&g.z); // members follow one another, as gzip writes them
            g.memberEnded = false;
        }
        if (g.z.avail_in == 0)
            throw ScanFileFault{QStringLiteral("the compressed file ends too soon")};
        g.z.next_out = reinterpret_cast<Bytef *>(out_.data());
        g.z.avail_out = uInt(Block);
        const int r = inflate(&g.z, Z_NO_FLUSH);
        if (r == Z_STREAM_END)
            g.memberEnded = true;
        else if (r == Z_MEM_ERROR)
            throw std::bad_alloc();
        else if (r != Z_OK && r != Z_BUF_ERROR)
            throw ScanFileFault{QStringLiteral("the compressed data is damaged")};
        if (const qsizetype made = Block - qsizetype(g.z.avail_out); made > 0)
            return QByteArrayView(out_.data(), made);
    }
}
