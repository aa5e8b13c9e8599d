#include "scan/FolderListScan.h"

#include "shared/MainForm.h"

ScanEnd dirFolder_Change(MainForm &) { return ScanEnd::Completed; }
