#include "listing/FileFacts.h"

#include "shared/FsError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

FolderFileFacts::FolderFileFacts(const QByteArray &folder) : zone_(QTimeZone::systemTimeZone())
{
    try {
        folder_ = FolderHandle::open(folder);
    } catch (const FsError &e) {
        openError_ = e.description();
    }
}

FileFacts FolderFileFacts::read(const QByteArray &name) const
{
    if (!folder_.isOpen())
        throw FsError(openError_);
    struct stat st;
    if (::fstatat(folder_.fd(), name.constData(), &st, 0) != 0) {
        const int err = errno;
        if (!((err == ENOENT || err == ELOOP) && ::fstatat(folder_.fd(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
              && S_ISLNK(st.st_mode)))
            throw FsError::fromErrno(err);
    }
    // The system zone converts without looking the zone up again for every file.
    const qint64 secs = st.st_mtim.tv_sec;
    return {int64_t(st.st_size),
            zone_.isValid() ? QDateTime::fromSecsSinceEpoch(secs, zone_) : QDateTime::fromSecsSinceEpoch(secs)};
}
