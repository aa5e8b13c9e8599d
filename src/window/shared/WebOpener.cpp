// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/WebOpener.h"

#include <QDesktopServices>

void DesktopWebOpener::open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
