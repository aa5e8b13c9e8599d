#pragma once
#include "scan/ScanEnd.h"
#include "scan/ScanSession.h"

struct MainForm;

// Rebuilds the folder list from the subfolders the folder tree shows: bare paths, or, with
// folder sizes on, each subfolder tree totalled into its line and the folder's own files
// added to FolderTotalBytes; ends with the parent folder line. Runs as part of `request`.
ScanEnd FolderListScan(MainForm &f, ScanSession &session, const ScanSession::Request &request);
