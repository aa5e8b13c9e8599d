// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/engine/Tally.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The folder list's line for a subfolder with its size: the path, the blanks that align it,
// and the size text, so that every line is nameWidth + 10 characters and the size texts end
// in one column. A path longer than nameWidth, or a byte count whose plain number text is
// longer than 10 characters, gets exactly two blanks instead.
QString folderLine(const QString &path, int64_t bytes, int nameWidth);
// The same for a size, and with `counts` two blanks and its file count after it.
QString folderLine(const QString &path, ShownSize size, int nameWidth, bool counts);

// How many files a size counts: "1 file", "12 files".
QString fileCountText(int64_t files);
// What a line or heading that shows `size` adds after its size text with counts on: two
// blanks and its file count; nothing without counts.
QString countNote(ShownSize size, bool counts);

// Adds the recursive file line to `lines` with `key`: the folder's path, "/", the file name,
// one blank and the size text of key.bytes. The line is made when read (see PathLineMaker).
void appendRecursiveFileLine(TextLines &lines, const QByteArray &folder, const char *name, LineKey key);

// Whether a file of a recursive listing gets a line: one called exactly "MSCREATE.DIR" is
// counted but gets none.
bool hasRecursiveLine(QByteArrayView name);
// Adds the recursive listing's line of a file (see appendRecursiveFileLine), if it has one.
void recursiveListingLine(TextLines &lines, const QByteArray &folder, const char *name, LineKey key);
// The same line made now, as text: for a listing written out once, whose lines the walk's
// workers make.
void recursiveListingText(TextLines &lines, const QByteArray &folder, const char *name, LineKey key);
