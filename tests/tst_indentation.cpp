#include "output/Indentation.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

class IndentationTest : public QObject {
    Q_OBJECT
private slots:
    void pickingAndTyping()
    {
        WindowFixture w(".", false);
        MainForm &f = w.f();
        QComboBox *box = f.cboIndent;
        fillIndentEntries(box);
        // Each step picks an entry ('p'), types over the text ('t'), types on ('k') or sets the text ('s'),
        // then gives the value stored and whether the text was refused. Every step that stores 0 follows
        // one that stored more, so that the change shows.
        const struct { char how; const char *text; int value; bool refused; } steps[] = {
            {'p', "3", 25, false}, {'s', "0", 0, true}, {'t', "8", 8, false}, {'k', "0", 0, true}, // the text is now "80"
            {'s', "7 spaces", 7, false}, {'s', "Indentation", 7, false}, {'s', "", 0, true}, {'s', "&H1F", 31, false},
            {'s', "-3", 0, true}, {'s', "79.5", 80, false}, {'s', "0.4", 0, false}, {'s', "1 2", 12, false},
            {'s', "2.5", 2, false}, {'s', "abc", 0, true}};
        for (const auto &[how, text, value, refused] : steps) {
            if (how == 'p') {
                box->setCurrentIndex(QByteArray(text).toInt());
                emit box->activated(box->currentIndex());
            } else if (how == 's') {
                box->setEditText(QString::fromUtf8(text));
            } else {
                if (how == 't')
                    box->lineEdit()->selectAll();
                QTest::keyClicks(box->lineEdit(), QString::fromUtf8(text));
            }
            QCOMPARE(f.Indentation, value);
            QCOMPARE(w.boxes.titles(), refused ? QStringList{"Invalid Indentation"} : QStringList());
            if (refused)
                QCOMPARE(box->currentText() + '|' + w.boxes.boxes[0].text, "Indentation|Indent must be a number and < 80");
            w.boxes.clear();
        }
    }
};

QTEST_MAIN(IndentationTest)
#include "tst_indentation.moc"
