// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QPixmap>

// The program's icon: the main window's and the help windows' icon, and the splash picture.
QIcon programIcon();
// Makes the program's pictures (":/icons", ":/about") reachable; safe to call again.
void registerProgramResources();
QPixmap programPicture();
