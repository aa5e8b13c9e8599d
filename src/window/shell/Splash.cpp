// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/Splash.h"

#include "VersionInfo.h"
#include "window/shared/Fonts.h"
#include "window/shared/Geometry.h"
#include "window/shared/ProgramIcon.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLibrary>
#include <QScreen>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

namespace {
// Qt gives a window with an empty title the program's name on X11 (in _NET_WM_NAME, which
// window managers and task switchers show), and has no way to leave it empty. This empties it
// on the window's native X11 window, with the X connection's own library, before it is mapped.
void emptyX11Caption(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    QLibrary xcb(QStringLiteral("xcb"), 1);
    const auto internAtom = reinterpret_cast<decltype(&xcb_intern_atom)>(xcb.resolve("xcb_intern_atom"));
    const auto atomReply = reinterpret_cast<decltype(&xcb_intern_atom_reply)>(xcb.resolve("xcb_intern_atom_reply"));
    const auto changeProperty = reinterpret_cast<decltype(&xcb_change_property)>(xcb.resolve("xcb_change_property"));
    const auto flush = reinterpret_cast<decltype(&xcb_flush)>(xcb.resolve("xcb_flush"));
    if (!internAtom || !atomReply || !changeProperty || !flush)
        return;
    xcb_connection_t *connection = x11->connection();
    const auto atom = [&](const char *name) {
        xcb_intern_atom_reply_t *reply = atomReply(connection, internAtom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    };
    changeProperty(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom("_NET_WM_NAME"),
                   atom("UTF8_STRING"), 8, 0, nullptr);
    flush(connection);
}

QLabel *whiteLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, int l, int t, int w,
                   int h)
{
    auto *lbl = new QLabel(text, parent);
    lbl->setObjectName(QLatin1String(name));
    lbl->setFont(font);
    QPalette p = lbl->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Window, Qt::black);
    lbl->setPalette(p);
    lbl->setGeometry(twipsRect(l, t, w, h));
    return lbl;
}
}

SplashWindow::SplashWindow(std::function<void()> handOver, QWidget *parent)
    // A fixed border and no title bar, as for any window without a caption; no task bar entry.
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::Tool),
      handOver_(std::move(handOver))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setFixedSize(twips(7380), twips(4245));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(150, 60, 7080, 4050));
    frame->setFrameShape(QFrame::Box);
    QPalette fp = frame->palette();
    fp.setColor(QPalette::WindowText, QColor(128, 128, 128));
    fp.setColor(QPalette::Window, Qt::black);
    frame->setPalette(fp);

    imgLogo = new QLabel(frame);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twipsRect(360, 795, 1815, 2385));
    imgLogo->setScaledContents(true);
    imgLogo->setPixmap(programPicture());

    const QString arial = QStringLiteral("Arial");
    lblProductName = whiteLabel(frame, "lblProductName", QStringLiteral("Product"), designFont(arial, 32.25, true),
                                2520, 840, 2430, 765);
    lblDescription = whiteLabel(frame, "lblDescription", QStringLiteral("Description"), designFont(arial, 8.25),
                                2640, 1680, 4095, 615);
    lblDescription->setWordWrap(true);
    lblPlatform = whiteLabel(frame, "lblPlatform", QStringLiteral("Platform"), designFont(arial, 15.75, true), 5580,
                             2340, 1275, 360);
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVersion = whiteLabel(frame, "lblVersion", QStringLiteral("Version"), designFont(arial, 12, true), 5970, 2700,
                            885, 285);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblCopyright = whiteLabel(frame, "lblCopyright", QStringLiteral("Copyright"), designFont(arial, 8.25), 4560, 3060,
                              2415, 255);
    lblCompany = whiteLabel(frame, "lblCompany", QStringLiteral("Company"), designFont(arial, 8.25), 4560, 3270,
                            2415, 255);

    timeSplash.setObjectName(QStringLiteral("timeSplash"));
    timeSplash.setInterval(1500);
    connect(&timeSplash, &QTimer::timeout, this, &SplashWindow::timeSplash_Timer);

    Form_Load();

    if (QScreen *screen = this->screen())
        move(screen->geometry().center() - rect().center());
}

void SplashWindow::Form_Load()
{
    lblVersion->setText(versionText(VersionInfo::Major, VersionInfo::Minor, VersionInfo::Revision));
    lblProductName->setText(QString::fromUtf8(VersionInfo::ProductName));
    lblCompany->setText(QString::fromUtf8(VersionInfo::CompanyName));
    lblCopyright->setText(QString::fromUtf8(VersionInfo::Copyright));
    lblDescription->setText(QString::fromUtf8(VersionInfo::FileDescription));
    lblPlatform->setText(QStringLiteral("Linux"));
    // Auto-size labels take the size of their text; the right-aligned ones keep their right edge.
    for (QLabel *l : {lblProductName, lblPlatform, lblVersion}) {
        const QRect r = l->geometry();
        const QSize hint = l->sizeHint();
        if (l->alignment() & Qt::AlignRight)
            l->setGeometry(r.right() + 1 - hint.width(), r.top(), hint.width(), hint.height());
        else
            l->setGeometry(r.left(), r.top(), hint.width(), hint.height());
    }
    timeSplash.start();
}

void SplashWindow::showEvent(QShowEvent *event)
{
    // The native window exists by now and is not yet on the screen.
    emptyX11Caption(this);
    QDialog::showEvent(event);
}

void SplashWindow::reject()
{
    if (handedOver_)
        QDialog::reject();
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !handedOver_) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SplashWindow::timeSplash_Timer()
{
    // A box shown during the main window's load runs a modal loop in which more ticks could
    // arrive: act on the first tick only.
    timeSplash.stop();
    if (handedOver_)
        return;
    handedOver_ = true;
    handOver_();
    close();
    deleteLater();
}
