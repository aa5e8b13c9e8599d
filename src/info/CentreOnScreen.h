#pragma once

class QWidget;

// Places a window in the middle of the primary screen.
void centreOnScreen(QWidget *window);
