#include "output/Indentation.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <functional>

class IndentationTest : public QObject {
    Q_OBJECT
private slots:
    void typedTexts_data();
    void typedTexts();
    void pickingAndTyping();
};

void IndentationTest::typedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("leading");
    QTest::addColumn<int>("stored"); // -1: refused
    // Blanks, tabs and line feeds anywhere are dropped; halves go to the even neighbour.
    const struct { const char *text; double leading; int stored; } rows[] = {
        {"7 spaces", 7, 7}, {"\t1 2\n", 12, 12}, {"\r5", 0, -1}, {"abc", 0, -1}, {"", 0, -1},
        {"- 3", -3, -1}, {"0", 0, -1}, {"80", 80, -1}, {"0.4", 0.4, 0}, {"2.5.1", 2.5, 2}, {"3.5", 3.5, 4},
        {"79.5", 79.5, 80}, {"8E-1", 0.8, 1}, {"6e+", 6, 6}, {"&H1F", 31, 31}, {"&h1fz", 31, 31},
        {"&o78", 7, 7}, {"1e400", qInf(), -1}, {"\xEF\xBC\x95", 0, -1} /* a full-width 5 */};
    for (const auto &r : rows) {
        const QByteArray name = QByteArray(r.text).replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
        QTest::addRow("\"%s\"", name.constData()) << QString::fromUtf8(r.text) << r.leading << r.stored;
    }
}

void IndentationTest::typedTexts()
{
    QFETCH(QString, text);
    QFETCH(double, leading);
    QFETCH(int, stored);
    QCOMPARE(leadingNumber(text), leading);
    QCOMPARE(typedIndentation(text).value_or(-1), stored);
}

void IndentationTest::pickingAndTyping()
{
    WindowFixture w(".", false);
    MainForm &f = w.f();
    QComboBox *box = f.cboIndent;
    fillIndentEntries(box);
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    QCOMPARE(entries, QStringList({"5 Characters", "10 Characters", "15 Characters", "25 Characters"}));
    QCOMPARE(box->currentText(), QStringLiteral("Indentation"));

    const auto pick = [box](int entry) {
        box->setCurrentIndex(entry);
        emit box->activated(entry);
    };
    const auto typeOver = [box](const QString &keys) {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), keys);
    };
    // Each step acts on the box, then gives the value stored and whether the text was refused.
    const struct { std::function<void()> act; int value; bool refused; } steps[] = {
        {[&] { pick(3); }, 25, false},
        {[&] { pick(1); typeOver("7 spaces"); }, 7, false}, // typed over a picked entry, the text counts
        {[&] { typeOver("8"); }, 8, false},
        {[&] { QTest::keyClick(box->lineEdit(), Qt::Key_0); }, 0, true},
        {[&] { box->setEditText("12"); box->setEditText("Indentation"); }, 12, false},
        {[&] { box->setEditText(QString()); }, 0, true},
        {[&] { box->setEditText("0.4"); }, 0, false},
        {[&] { pick(1); }, 10, false}, // picking the entry left selected after typing
    };
    for (const auto &step : steps) {
        step.act();
        QCOMPARE(f.Indentation, step.value);
        QCOMPARE(w.boxes.titles(), step.refused ? QStringList{"Invalid Indentation"} : QStringList());
        if (step.refused) {
            QCOMPARE(box->currentText(), QStringLiteral("Indentation"));
            QCOMPARE(w.boxes.boxes[0].text, QStringLiteral("Indent must be a number and < 80"));
            QCOMPARE(w.boxes.boxes[0].buttons, MessageBoxes::Buttons::Ok);
        }
        w.boxes.clear();
    }
}

QTEST_MAIN(IndentationTest)
#include "tst_indentation.moc"
