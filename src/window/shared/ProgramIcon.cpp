// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shared/ProgramIcon.h"

// The resources live in the program's static core library, whose resource object the linker
// would leave out unless something refers to it: register them on first use. (Resource
// registration has to be named from the global namespace.)
void registerProgramResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(listwright);
        return true;
    }();
    (void)registered;
}

static QString iconPath()
{
    return QStringLiteral(":/icons/listwright.png");
}

QIcon programIcon()
{
    registerProgramResources();
    return QIcon(iconPath());
}

QPixmap programPicture()
{
    registerProgramResources();
    return QPixmap(iconPath());
}
