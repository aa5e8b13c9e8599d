// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;

// frmSplash: names the product and its version, and after 1500 ms hands over to the main
// window, once.
class SplashWindow : public QDialog {
    Q_OBJECT
public:
    // `handOver` shows the main window; it runs inside the first tick, before the splash closes.
    explicit SplashWindow(std::function<void()> handOver, QWidget *parent = nullptr);

    QLabel *lblProductName = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblCompany = nullptr;
    QLabel *imgLogo = nullptr;
    QTimer timeSplash;

protected:
    // Esc and the window manager's close do nothing: the splash ends only by handing over.
    void reject() override;
    void keyPressEvent(QKeyEvent *event) override;
    // The caption stays empty on X11 too.
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void timeSplash_Timer();

    std::function<void()> handOver_;
    bool handedOver_ = false;
};

// The version label's text: "Version " and the three numbers, as 2.0.0.
QString versionText(int major, int minor, int revision);
