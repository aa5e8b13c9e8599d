#include "listing/FileFacts.h"

#include "shared/FsError.h"


FolderFileFacts::FolderFileFacts(const QByteArray &folder) : zone_(QTimeZone::systemTimeZone())
{
    try {
        folder_ = FolderHandle::open(folder);
    } catch (const FsError &e) {
        openError_ = e.description();
    }
}

FileFacts FolderFileFacts::read(const char *name) const
{
    if (!folder_.isOpen())
        throw FsError(openError_);
    const struct stat st = statEntry(folder_, name);
    // The system zone converts without looking the zone up again for every file.
    const qint64 secs = st.st_mtim.tv_sec;
    return {int64_t(st.st_size),
            zone_.isValid() ? QDateTime::fromSecsSinceEpoch(secs, zone_) : QDateTime::fromSecsSinceEpoch(secs)};
}
