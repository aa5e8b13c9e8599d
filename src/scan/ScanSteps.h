#pragma once
#include "scan/TreeCounter.h"

#include <QByteArray>
#include <QString>

struct MainForm;

// Steps that the folder list scan and the recursive file scan share.

// The caption of a running scan, and of the idle window.
inline const QString ScanningCaption = QStringLiteral("Listwright - Scanning [PRESS ESC TO CANCEL] .");
inline const QString IdleCaption = QStringLiteral("Listwright");

// Hourglass and scanning caption while a scan runs; back to the idle look after it.
void beginScanLook(MainForm &f);
void endScanLook(MainForm &f);

// One more "." per subfolder counted, back to a single dot once the caption is 100 long.
void advanceCaption(MainForm &f);
QString advancedCaption(const QString &caption);

// CurrentFolderPath for a folder path: the path with "/" appended unless it ends in one.
QString folderPathWithSlash(const QString &path);

// Adds the lengths of a folder's own files to FolderTotalBytes, hidden files included; no
// events are processed here.
void addOwnFiles(MainForm &f, const QByteArray &folder);

// Counts the tree of subfolder `i` of the current folder into `bytes`; a link to a folder gets
// its line but counts nothing. When a newer request overtook the scan, the idle caption and
// pointer come back before the scan returns.
ScanEnd countSubfolder(MainForm &f, TreeCounter &counter, int i, int64_t &bytes,
                       const TreeCounter::FileSeen &fileSeen = {});
