// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/FolderListing.h"
#include "core/shared/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// The listing for a spreadsheet: CSV.

// A path for a CSV field: UTF-8 as it is, except that each byte of a sequence that is not
// UTF-8, and of a character that breaks or reorders a line (see breaksOrReordersLine), is
// written \xHH (two upper-case hexadecimal digits), and a backslash as \\. So any name is one
// line of plain text, and reading the escapes back gives its bytes.
QByteArray escapedPath(QByteArrayView native);

// The choices the CSV form is listed with: sizes and times for every row.
ListingChoices csvChoices(ListingChoices choices);
// CSV rows (RFC 4180) instead of the listing's lines: path, kind (folder or file), size in
// bytes and modification time (ISO 8601 with its offset from UTC; empty when it could not be
// read). A folder's size is the bytes of the distinct files below it, a file of several
// names counted in the first folder that holds it, as in the folder list. With `diskUsage` the
// sizes are allocated bytes (st_blocks x 512).
ListingLines csvLines(bool diskUsage = false);
// The header row (its last columns `moreColumns`, such as ",change"), then the folder rows
// (with Include Folders) and the file rows.
TextLines csvListing(const ListingSnapshot &s, const QString &moreColumns = {});
