#include "output/Indentation.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <functional>

class IndentationTest : public QObject {
    Q_OBJECT
private slots:
    void pickingAndTyping();
};

void IndentationTest::pickingAndTyping()
{
    WindowFixture w(".", false);
    MainForm &f = w.f();
    QComboBox *box = f.cboIndent;
    fillIndentEntries(box);

    const auto pick = [box](int entry) {
        box->setCurrentIndex(entry);
        emit box->activated(entry);
    };
    const auto typeOver = [box](const QString &keys) {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), keys);
    };
    const auto setText = [box](const char *text) {
        return [box, text] { box->setEditText(QString::fromUtf8(text)); };
    };
    // Each step changes the box, then gives the value stored and whether the text was refused.
    // Every step that stores 0 follows one that stored more, so that the change shows.
    const struct { std::function<void()> act; int value; bool refused; } steps[] = {
        {[&] { pick(3); }, 25, false},
        {setText("0"), 0, true},
        {[&] { typeOver("8"); }, 8, false},
        {[&] { QTest::keyClick(box->lineEdit(), Qt::Key_0); }, 0, true}, // the text is now "80"
        {setText("7 spaces"), 7, false},
        {setText("Indentation"), 7, false},
        {setText(""), 0, true},
        {setText("&H1F"), 31, false},
        {setText("-3"), 0, true},
        {setText("79.5"), 80, false},
        {setText("0.4"), 0, false},
    };
    for (const auto &step : steps) {
        step.act();
        QCOMPARE(f.Indentation, step.value);
        QCOMPARE(w.boxes.titles(), step.refused ? QStringList{"Invalid Indentation"} : QStringList());
        if (step.refused) {
            QCOMPARE(box->currentText(), QStringLiteral("Indentation"));
            QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Indent must be a number and < 80"));
        }
        w.boxes.clear();
    }
}

QTEST_MAIN(IndentationTest)
#include "tst_indentation.moc"
