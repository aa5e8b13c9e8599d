#include "support/TempTree.h"

#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

TempTree::TempTree()
{
    QVERIFY(dir_.isValid());
}

namespace {
int removeEntry(const char *path, const struct stat *, int flag, struct FTW *)
{
    if (flag == FTW_DP)
        ::chmod(path, 0700);
    return ::remove(path) == 0 ? 0 : 0;
}
}

TempTree::~TempTree()
{
    // Folders a test shut get opened again first, so everything below them can go.
    const QByteArray root = path();
    ::nftw(root.constData(), [](const char *p, const struct stat *st, int flag, struct FTW *) {
        if (flag == FTW_D || flag == FTW_DNR)
            ::chmod(p, 0700);
        (void)st;
        return 0;
    }, 64, FTW_PHYS);
    ::nftw(root.constData(), removeEntry, 64, FTW_DEPTH | FTW_PHYS);
}

QByteArray TempTree::path() const
{
    return QFile::encodeName(dir_.path());
}

QByteArray TempTree::at(const QByteArray &relative) const
{
    return relative.isEmpty() ? path() : path() + '/' + relative;
}

void TempTree::mkdir(const QByteArray &relative) const
{
    const QByteArray p = at(relative);
    QByteArray sofar;
    for (const QByteArray &part : p.split('/')) {
        sofar += part;
        if (!sofar.isEmpty())
            ::mkdir(sofar.constData(), 0755);
        sofar += '/';
    }
}

void TempTree::file(const QByteArray &relative, qint64 size, const QDateTime &modified) const
{
    const QByteArray p = at(relative);
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, p.constData());
    if (size <= (1 << 20)) {
        QByteArray data(size, 'x');
        QCOMPARE(::write(fd, data.constData(), size_t(size)), ssize_t(size));
    } else {
        QCOMPARE(::ftruncate(fd, size), 0);
    }
    ::close(fd);
    if (modified.isValid()) {
        struct timespec times[2];
        times[0].tv_sec = times[1].tv_sec = modified.toSecsSinceEpoch();
        times[0].tv_nsec = times[1].tv_nsec = 0;
        QCOMPARE(::utimensat(AT_FDCWD, p.constData(), times, 0), 0);
    }
}

void TempTree::symlink(const QByteArray &target, const QByteArray &relative) const
{
    QCOMPARE(::symlink(target.constData(), at(relative).constData()), 0);
}

void TempTree::wide(const QByteArray &top, int folders, int files) const
{
    for (int i = 0; i < folders; ++i) {
        const QByteArray dir = top + "/d" + QByteArray::number(i);
        mkdir(dir);
        for (int j = 0; j < files; ++j)
            file(dir + "/f" + QByteArray::number(j), 1);
    }
}
