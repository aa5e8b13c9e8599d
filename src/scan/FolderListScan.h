#pragma once
#include "scan/ScanEnd.h"

struct MainForm;

// The response to a change of the current folder: rebuilds the folder list, points the file
// list at the folder and, with folder sizes on, totals every subfolder tree.
ScanEnd dirFolder_Change(MainForm &f);
