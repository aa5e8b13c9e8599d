#include "support/TempTree.h"

#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TempTree::TempTree()
{
    QVERIFY(dir_.isValid());
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
