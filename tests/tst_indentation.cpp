#include "output/Indentation.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedMessageBoxes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

class IndentationTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumbers_data();
    void leadingNumbers();
    void typedValues_data();
    void typedValues();
    void boxStartsWithLabelAndNoSelection();
    void pickingAndTyping();

private:
    void type(QComboBox *box, const QString &keys) { QTest::keyClicks(box->lineEdit(), keys); }
};

void IndentationTest::leadingNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "12" << 12.0;
    QTest::newRow("stops at a letter") << "7 spaces" << 7.0;
    QTest::newRow("blank inside") << "1 2" << 12.0;
    QTest::newRow("tab and line feed") << "\t3\n4" << 34.0;
    QTest::newRow("carriage return is not spacing") << "\r5" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign") << "- 3" << -3.0;
    QTest::newRow("decimals") << "2.5.1" << 2.5;
    QTest::newRow("exponent") << "1.5e1" << 15.0;
    QTest::newRow("exponent with sign") << "8E-1" << 0.8;
    QTest::newRow("incomplete exponent") << "6e+" << 6.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("hexadecimal lower case") << "&h1fz" << 31.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
    QTest::newRow("wide digits are not digits") << QString::fromUtf8("\xEF\xBC\x95") << 0.0;
}

void IndentationTest::leadingNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void IndentationTest::typedValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -1: refused
    QTest::newRow("8") << "8" << 8;
    QTest::newRow("80 refused") << "80" << -1;
    QTest::newRow("0 refused") << "0" << -1;
    QTest::newRow("-3 refused") << "-3" << -1;
    QTest::newRow("empty refused") << "" << -1;
    QTest::newRow("0.4 gives 0") << "0.4" << 0;
    QTest::newRow("2.5 gives 2") << "2.5" << 2;
    QTest::newRow("3.5 gives 4") << "3.5" << 4;
    QTest::newRow("79.5 gives 80") << "79.5" << 80;
    QTest::newRow("7 spaces") << "7 spaces" << 7;
    QTest::newRow("&H1F") << "&H1F" << 31;
    QTest::newRow("huge refused") << "1e400" << -1;
}

void IndentationTest::typedValues()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<int> typed = typedIndentation(text);
    QCOMPARE(typed.value_or(-1), value);
}

void IndentationTest::boxStartsWithLabelAndNoSelection()
{
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    f.Indentation = 3;

    fillIndentEntries(f.cboIndent);

    QCOMPARE(f.cboIndent->count(), 4);
    const QStringList entries{"5 Characters", "10 Characters", "15 Characters", "25 Characters"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.cboIndent->itemText(i), entries[i]);
    QCOMPARE(f.cboIndent->currentIndex(), -1);
    QCOMPARE(f.cboIndent->currentText(), QStringLiteral("Indentation"));
    QCOMPARE(f.Indentation, 3); // no handler ran
    QVERIFY(boxes.boxes.isEmpty());
}

void IndentationTest::pickingAndTyping()
{
    ScriptedMessageBoxes boxes;
    RecordingPrinter printer;
    DesktopWebOpener opener;
    MainWindow w(boxes, printer, opener);
    MainForm &f = w.form();
    QComboBox *box = f.cboIndent;
    fillIndentEntries(box);
    f.Indentation = 0;

    const auto pick = [box](int entry) {
        box->setCurrentIndex(entry);
        emit box->activated(entry);
    };
    const auto expectReset = [&] {
        QCOMPARE(box->currentText(), QStringLiteral("Indentation"));
        QCOMPARE(f.Indentation, 0);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("Indent must be a number and < 80"));
        QCOMPARE(boxes.boxes[0].title, QStringLiteral("Invalid Indentation"));
        QCOMPARE(boxes.boxes[0].buttons, MessageBoxes::Buttons::Ok);
        boxes.clear();
    };

    pick(3);
    QCOMPARE(f.Indentation, 25);
    pick(1);
    QCOMPARE(f.Indentation, 10);

    // Typing over a picked entry: the box keeps its selection, the typed text counts.
    box->lineEdit()->selectAll();
    type(box, "7 spaces");
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(f.Indentation, 7);
    QVERIFY(boxes.boxes.isEmpty());

    // Typing 8 then 0: 8 is kept, 80 resets with one box.
    box->lineEdit()->selectAll();
    type(box, "8");
    QCOMPARE(f.Indentation, 8);
    type(box, "0");
    expectReset();

    // The label text itself, typed or set by code: no box, the value stays.
    box->lineEdit()->selectAll();
    type(box, "12");
    QCOMPARE(f.Indentation, 12);
    box->setEditText(QStringLiteral("Indentation"));
    QCOMPARE(f.Indentation, 12);
    QVERIFY(boxes.boxes.isEmpty());

    // Typing 0, a text of -3, and clearing the text are refused.
    box->lineEdit()->selectAll();
    type(box, "0");
    expectReset();
    box->setEditText(QStringLiteral("-3"));
    expectReset();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    expectReset();

    // Small and half values are rounded without a box.
    box->setEditText(QStringLiteral("0.4"));
    QCOMPARE(f.Indentation, 0);
    box->setEditText(QStringLiteral("79.5"));
    QCOMPARE(f.Indentation, 80);
    box->setEditText(QStringLiteral("&H1F"));
    QCOMPARE(f.Indentation, 31);
    QVERIFY(boxes.boxes.isEmpty());

    // Picking the entry still selected after typing brings its value back.
    pick(1);
    QCOMPARE(box->currentText(), QStringLiteral("10 Characters"));
    QCOMPARE(f.Indentation, 10);
}

QTEST_MAIN(IndentationTest)
#include "tst_indentation.moc"
