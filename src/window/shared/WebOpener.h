// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QUrl>

// Hands a web address to the desktop's browser.
class WebOpener {
public:
    virtual ~WebOpener() = default;
    virtual void open(const QUrl &url) = 0;
};

class DesktopWebOpener : public WebOpener {
public:
    void open(const QUrl &url) override;
};
