// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

// The folder list's lines, made when they are read: each subfolder's text as listed and the
// size counted for it, not its line's text (see folderLine). Lines are added on the thread
// that runs the scan while another thread may read the lines added before (a listing being
// saved), so a maker holds a fixed number of lines in room taken when it is made: adding never
// moves a line. A full maker is followed by a larger one (see next).
class FolderLineMaker : public LineMaker {
public:
    FolderLineMaker(int nameWidth, bool counts, qsizetype room);

    // The maker to add a line aligned to `nameWidth` to after `last` (none at first): `last`
    // while it has room and aligns the same, else a new one.
    static std::shared_ptr<FolderLineMaker> next(std::shared_ptr<FolderLineMaker> last, int nameWidth, bool counts);

    // Adds a subfolder's line: its text alone, or with its size; answers its number here.
    qsizetype add(const QString &text, std::optional<ShownSize> size);

    QByteArray make(qsizetype i) const override;
    QByteArray name(qsizetype i) const override;

private:
    struct Line {
        QString text;
        ShownSize size;
        bool sized = false;
    };
    int nameWidth_;
    bool counts_;
    qsizetype room_;
    qsizetype size_ = 0;
    std::unique_ptr<Line[]> lines_;
};
