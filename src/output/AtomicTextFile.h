#pragma once
#include "shared/TextList.h"

#include <QString>

// Writes `lines` to the file at `path` as UTF-8, every line ending in a carriage return and a
// line feed. The text goes into a temporary file beside the target, which is renamed into place
// only when every byte is written: on failure an older file of that name stays as it was, no
// temporary file is left, and FsError carries the system's description of the failure.
// When the folder takes no temporary file but the file itself may be written, it is written
// in place; a failure then still throws, but may leave the file partly written.
void writeTextFileAtomically(const QString &path, const TextLines &lines);
