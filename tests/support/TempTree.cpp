#include "support/TempTree.h"

#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TempTree::TempTree() { QVERIFY(dir_.isValid()); }

TempTree::~TempTree()
{
    // Folders a test shut are opened again on the way down, so that everything below them can go.
    std::error_code ec;
    const fs::path root(path().toStdString());
    ::chmod(root.c_str(), 0700);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec))
            ::chmod(it->path().c_str(), 0700);
    fs::remove_all(root, ec);
}

QByteArray TempTree::path() const { return QFile::encodeName(dir_.path()); }

QByteArray TempTree::at(const QByteArray &relative) const { return relative.isEmpty() ? path() : path() + '/' + relative; }

void TempTree::mkdir(const QByteArray &relative) const
{
    std::error_code ec;
    fs::create_directories(at(relative).toStdString(), ec);
    QVERIFY2(!ec, at(relative).constData());
}

void TempTree::file(const QByteArray &relative, qint64 size, const QDateTime &modified) const
{
    const QByteArray p = at(relative);
    FILE *out = std::fopen(p.constData(), "wb");
    QVERIFY2(out, p.constData());
    const bool written = size > (1 << 20) ? ::ftruncate(fileno(out), size) == 0 // sparse
                                          : std::fwrite(QByteArray(size, 'x').constData(), 1, size_t(size), out) == size_t(size);
    QVERIFY2(std::fclose(out) == 0 && written, p.constData());
    // The last access lies years and hours away from the modification, so that a date read from
    // the wrong one of the two shows.
    const struct timespec times[2] = {{modified.toSecsSinceEpoch() - 1000 * 86400 - 5 * 3600 - 7, 0},
                                      {modified.toSecsSinceEpoch(), 0}};
    QVERIFY(!modified.isValid() || ::utimensat(AT_FDCWD, p.constData(), times, 0) == 0);
}

void TempTree::symlink(const QByteArray &target, const QByteArray &relative) const
{
    QCOMPARE(::symlink(target.constData(), at(relative).constData()), 0);
}

void TempTree::hardLink(const QByteArray &existing, const QByteArray &relative) const
{
    QCOMPARE(::link(at(existing).constData(), at(relative).constData()), 0);
}

void TempTree::wide(const QByteArray &top, int folders, int files) const
{
    for (int i = 0; i < folders; ++i) {
        mkdir(top + "/d" + QByteArray::number(i));
        for (int j = 0; j < files; ++j)
            file(top + "/d" + QByteArray::number(i) + "/f" + QByteArray::number(j), 1);
    }
}
