// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shared/FsError.h"

#include <cstring>

FsError FsError::fromErrno(int err)
{
    return FsError(QString::fromLocal8Bit(std::strerror(err)), err);
}

QString errorDescription(const std::exception &e)
{
    return QString::fromStdString(e.what());
}
