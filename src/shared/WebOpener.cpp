#include "shared/WebOpener.h"

#include <QDesktopServices>

void DesktopWebOpener::open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
