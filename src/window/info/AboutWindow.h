// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class WebOpener;

// The author and the product's home on the web, as the About window shows them.
inline constexpr const char AuthorName[] = "The Listwright authors";
inline constexpr const char AuthorEmail[] = "listwright@example.org";
inline constexpr const char HomePage[] = "https://listwright.example.org/";

// frmAbout: a borderless black window naming the product, its version and its author, with
// a link to the home page. Each opening creates it anew; its OK button closes it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(WebOpener &opener, QWidget *parent = nullptr);

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *imgQuill = nullptr;
    QLabel *lblWrittenBy = nullptr;
    QLabel *lblEmail = nullptr;
    QLabel *lblComments = nullptr;
    QLabel *lblUrlTop = nullptr;
    QLabel *lblUrl = nullptr;
    QLabel *lblUrlBottom = nullptr;
    QPushButton *cmdOK = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void lblUrl_Click();
    void cmdOK_Click();

    WebOpener &opener_;
};
