// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "scan/ScanSession.h"
#include "shared/MainForm.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class Resizer;

// frmListwright: builds the window's elements into its MainForm and connects each element's
// signal to its handler.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The window starts in `startFolder`, or in the working folder when it is empty.
    MainWindow(MessageBoxes &boxes, PrinterService &printer, WebOpener &opener, const QByteArray &startFolder = {});
    ~MainWindow() override;

    MainForm &form() { return form_; }
    ScanSession &scans() { return scans_; }

    // Runs the window's load; on a failure of its own steps shows its box and answers false,
    // and the caller ends the program.
    bool load();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();
    void waitHooks();
    template <typename Handler>
    auto held(Handler handler);

    MainForm form_;
    ScanSession scans_;
    Resizer *resizer_ = nullptr;
};
