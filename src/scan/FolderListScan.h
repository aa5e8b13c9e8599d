#pragma once
#include "scan/ScanEnd.h"

#include <QString>

struct MainForm;

// The response to a change of the current folder, as dirFolder raises it: with the recursive
// listing on, the recursive refresh and the file list rebuild; otherwise the folder list scan.
ScanEnd dirFolder_Change(MainForm &f);

// Rebuilds the folder list, points the file list at the folder and, with folder sizes on,
// totals every subfolder tree.
ScanEnd FolderListScan(MainForm &f);

