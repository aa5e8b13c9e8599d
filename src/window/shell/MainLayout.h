// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

class QMainWindow;
struct MainForm;

// Design size of the main window's client area, in logical pixels (9600 x 7035 twips).
constexpr int DesignClientWidth = 640;
constexpr int DesignClientHeight = 469;
// The status bar's height at the bottom of the client area (255 twips); the elements share the rest.
constexpr int DesignStatusBarHeight = 17;

// Creates every element and menu of the main window at its design place and state, and
// fills `form` with them. No handler is connected here. The folder tree and the drive list
// show `startFolder`, or the working folder when it is empty.
void buildMainLayout(QMainWindow *window, MainForm &form, const QByteArray &startFolder = {});
