#pragma once
#include "scan/ScanEnd.h"

struct MainForm;

// Walks every subfolder tree of the current folder and lists each file found below them in
// the complete file list, counting the sizes on the way.
ScanEnd RecursiveFileScan(MainForm &f);
