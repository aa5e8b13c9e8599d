// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/tree/FolderRowMaker.h"

#include "core/scan/FolderLine.h"
#include "core/shared/LineFilter.h"

#include <algorithm>

FolderRowMaker::FolderRowMaker(std::shared_ptr<const ScanTree> tree, int nameWidth, bool counts, bool diskUsage,
                               qsizetype room)
    : tree_(std::move(tree)), nameWidth_(nameWidth), counts_(counts), diskUsage_(diskUsage), room_(room),
      lines_(new Line[size_t(room)])
{
}

std::shared_ptr<FolderRowMaker> FolderRowMaker::next(std::shared_ptr<FolderRowMaker> last,
                                                     const std::shared_ptr<const ScanTree> &tree, int nameWidth,
                                                     bool counts, bool diskUsage)
{
    if (last && last->size_ < last->room_ && last->tree_ == tree && last->nameWidth_ == nameWidth
        && last->counts_ == counts && last->diskUsage_ == diskUsage)
        return last;
    // Room grows with the list, so that a few lines take little and many take few makers.
    const qsizetype room = last ? std::min<qsizetype>(last->room_ * 2, 4096) : 64;
    return std::make_shared<FolderRowMaker>(tree, nameWidth, counts, diskUsage, room);
}

qsizetype FolderRowMaker::add(const QString &text, ScanTree::Index entry)
{
    Q_ASSERT(size_ < room_);
    lines_[size_t(size_)] = {text, entry};
    return size_++;
}

ShownSize FolderRowMaker::size(qsizetype i) const
{
    const ScanTree::Totals t = tree_->counted(lines_[size_t(i)].entry);
    return {diskUsage_ ? t.allocated : t.bytes, t.files};
}

QByteArray FolderRowMaker::make(qsizetype i) const
{
    return folderLine(lines_[size_t(i)].text, size(i), nameWidth_, counts_).toUtf8();
}

QByteArray FolderRowMaker::name(qsizetype i) const
{
    return lineName(lines_[size_t(i)].text.toUtf8(), -1).toByteArray();
}
