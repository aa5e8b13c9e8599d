// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/FolderLineMaker.h"

#include "core/scan/FolderLine.h"
#include "core/shared/LineFilter.h"

#include <algorithm>

FolderLineMaker::FolderLineMaker(int nameWidth, bool counts, qsizetype room)
    : nameWidth_(nameWidth), counts_(counts), room_(room), lines_(new Line[size_t(room)])
{
}

std::shared_ptr<FolderLineMaker> FolderLineMaker::next(std::shared_ptr<FolderLineMaker> last, int nameWidth,
                                                       bool counts)
{
    if (last && last->size_ < last->room_ && last->nameWidth_ == nameWidth && last->counts_ == counts)
        return last;
    // Room grows with the list, so that a few lines take little and many take few makers.
    const qsizetype room = last ? std::min<qsizetype>(last->room_ * 2, 4096) : 64;
    return std::make_shared<FolderLineMaker>(nameWidth, counts, room);
}

qsizetype FolderLineMaker::add(const QString &text, std::optional<ShownSize> size)
{
    Q_ASSERT(size_ < room_);
    Line &line = lines_[size_t(size_)];
    line.text = text;
    line.size = size.value_or(ShownSize{});
    line.sized = size.has_value();
    return size_++;
}

QByteArray FolderLineMaker::make(qsizetype i) const
{
    const Line &line = lines_[size_t(i)];
    return (line.sized ? folderLine(line.text, line.size, nameWidth_, counts_) : line.text).toUtf8();
}

QByteArray FolderLineMaker::name(qsizetype i) const
{
    return lineName(lines_[size_t(i)].text.toUtf8(), -1).toByteArray();
}
