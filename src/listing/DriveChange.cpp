#include "listing/DriveChange.h"

#include "shared/MainForm.h"

void drvDrive_Change(MainForm &) {}
