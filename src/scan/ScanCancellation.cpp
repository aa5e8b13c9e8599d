#include "scan/ScanCancellation.h"

#include "shared/MainForm.h"

void mnuStopScan_Click(MainForm &) {}
void Form_KeyDown(MainForm &, int, Qt::KeyboardModifiers) {}
