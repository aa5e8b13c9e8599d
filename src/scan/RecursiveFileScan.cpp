#include "scan/RecursiveFileScan.h"

#include "shared/MainForm.h"

ScanEnd RecursiveFileScan(MainForm &) { return ScanEnd::Completed; }
