// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/info/AboutWindow.h"

#include "window/info/CentreOnScreen.h"
#include "window/shared/ColourPair.h"
#include "window/shared/Fonts.h"
#include "window/shared/Geometry.h"
#include "window/shared/ProgramIcon.h"
#include "window/shared/WebOpener.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

const QColor Cyan(0, 255, 255);

QFont sansSerif(double points = 8.25, bool bold = false)
{
    return designFont(QStringLiteral("MS Sans Serif"), points, bold);
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QColor &colour, const QFont &font,
              int l, int t, int w, int h)
{
    auto *lbl = new QLabel(text, parent);
    lbl->setObjectName(QLatin1String(name));
    lbl->setTextFormat(Qt::PlainText);
    lbl->setFont(font);
    QPalette p = lbl->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Window, Qt::black);
    lbl->setPalette(p);
    lbl->setAutoFillBackground(true);
    lbl->setGeometry(twipsRect(l, t, w, h));
    return lbl;
}

QLabel *centredLabel(QWidget *parent, const char *name, const QString &text, const QColor &colour,
                     const QFont &font, int l, int t, int w, int h)
{
    QLabel *lbl = label(parent, name, text, colour, font, l, t, w, h);
    lbl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return lbl;
}

// An auto-size label takes the size of its text: a left-aligned one keeps its left edge, a
// centred one its centre.
void autoSize(QLabel *lbl)
{
    const QRect r = lbl->geometry();
    const QSize hint = lbl->sizeHint();
    const int left = (lbl->alignment() & Qt::AlignHCenter) ? r.center().x() + 1 - hint.width() / 2 : r.left();
    lbl->setGeometry(left, r.top(), hint.width(), hint.height());
}

// The pointing hand shown over the link; its hot spot is the tip of the index finger.
QCursor linkCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/about/link-cursor.png")), 10, 1);
}

} // namespace

AboutWindow::AboutWindow(WebOpener &opener, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint), opener_(opener)
{
    registerProgramResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(twips(4575), twips(4545));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    lblTitle = label(this, "lblTitle", QStringLiteral("LISTWRIGHT"), Qt::white,
                     designFont(QStringLiteral("Verdana"), 21.75, true), 120, 120, 4305, 525);
    lblVersion = centredLabel(this, "lblVersion", QStringLiteral("Version 2.0 Nov. 1998"), Qt::white,
                              sansSerif(18, true), 300, 600, 3825, 435);

    imgQuill = new QLabel(this);
    imgQuill->setObjectName(QStringLiteral("imgQuill"));
    imgQuill->setFrameShape(QFrame::Box);
    imgQuill->setLineWidth(1);
    imgQuill->setAlignment(Qt::AlignCenter);
    QPalette quillPal = imgQuill->palette();
    quillPal.setColor(QPalette::WindowText, QColor(128, 128, 128));
    imgQuill->setPalette(quillPal);
    imgQuill->setPixmap(QPixmap(QStringLiteral(":/about/quill.png")));
    imgQuill->setToolTip(QString::fromUtf8(AuthorName));
    imgQuill->setGeometry(twipsRect(480, 1080, 975, 1560));

    lblWrittenBy = label(this, "lblWrittenBy", QStringLiteral("Written By: ") + QString::fromUtf8(AuthorName), Cyan,
                         sansSerif(), 2025, 1200, 1635, 195);
    lblEmail = label(this, "lblEmail", QString::fromUtf8(AuthorEmail), Cyan, sansSerif(), 2280, 1560, 1125, 195);
    lblComments = centredLabel(this, "lblComments",
                               QStringLiteral("Please feel free to email me with any comments, bugs or suggestions."),
                               Cyan, sansSerif(), 1680, 1920, 2355, 615);
    lblComments->setWordWrap(true);
    lblUrlTop = centredLabel(this, "lblUrlTop", QString(), Cyan, sansSerif(), 360, 2760, 3915, 495);
    lblUrlTop->setWordWrap(true);
    lblUrl = centredLabel(this, "lblUrl", QString(), QColor(0, 0, 255), sansSerif(12, true), 360, 3240, 3915, 375);
    lblUrl->setCursor(linkCursor());
    lblUrl->installEventFilter(this);
    lblUrlBottom = centredLabel(this, "lblUrlBottom", QString(), Cyan, sansSerif(), 360, 3600, 3915, 375);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setFont(sansSerif(8.25, true));
    setColourPair(cmdOK, QPalette::ButtonText, Qt::black, QPalette::Button, LightGrey);
    cmdOK->setGeometry(twipsRect(1920, 4080, 735, 375));
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &AboutWindow::cmdOK_Click);

    Form_Load();
    for (QLabel *lbl : {lblTitle, lblVersion, lblWrittenBy, lblEmail})
        autoSize(lbl);
    centreOnScreen(this);
}

void AboutWindow::Form_Load()
{
    lblEmail->setText(QString::fromUtf8(AuthorEmail));
    lblUrlTop->setText(QStringLiteral("If you like this program please visit Listwright's home on the web."));
    lblUrl->setText(QString::fromUtf8(HomePage));
    lblUrlBottom->setText(QStringLiteral("Here you will find the most current version."));
}

void AboutWindow::lblUrl_Click()
{
    // The browser opens on its own; the About window stays open and the result is not examined.
    opener_.open(QUrl(QString::fromUtf8(HomePage)));
}

void AboutWindow::cmdOK_Click()
{
    close();
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the link: the button released over the label it was pressed on.
    if (watched == lblUrl && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && lblUrl->rect().contains(mouse->position().toPoint()))
            lblUrl_Click();
    }
    return QDialog::eventFilter(watched, event);
}
