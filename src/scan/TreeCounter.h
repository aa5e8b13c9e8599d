#pragma once
#include "scan/ScanEnd.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

struct MainForm;
class ScanPump;

// Adds up the lengths of every file in a subfolder tree, hidden files included, walking it
// with the folder walker. A folder that cannot be read, or lies deeper than the walker
// reaches, is reported with the scan's two boxes and skipped; the walk goes on after it.
class TreeCounter {
public:
    // Called for every file counted, with its folder, its name and its length.
    using FileSeen = std::function<void(const QByteArray &folder, const char *name, int64_t length)>;

    TreeCounter(MainForm &f, ScanPump &pump) : f_(f), pump_(pump) {}

    // Counts the tree below `subfolder` into `bytes`. Completed when the whole tree was
    // counted; otherwise the scan must end at once.
    ScanEnd count(const QByteArray &subfolder, int64_t &bytes, const FileSeen &fileSeen = {});

private:
    ScanEnd report(const QString &description, const QString &entryName);

    MainForm &f_;
    ScanPump &pump_;
};
