#include "output/TitleCheck.h"
#include "support/ScriptedMessageBoxes.h"

#include <QtTest>

class TitleCheckTest : public QObject {
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
};

void TitleCheckTest::titles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("refused"); // the character the box names, "size" for the wrong size, empty: passes
    QTest::newRow("empty") << QString() << "size";
    QTest::newRow("255 characters") << QString(255, u'a') << "";
    QTest::newRow("256 with refused characters") << QString(250, u'a') + "a/b\\c:" << "size";
    // Characters are counted as a person sees them: this one is two UTF-16 units.
    QTest::newRow("255 non-ASCII") << QString::fromUtf8("\xF0\x9F\x93\x81").repeated(255) << "";
    QTest::newRow("leftmost is named") << "a/b\\c" << "/";
    QTest::newRow("double quote") << "say \"hi\"" << "\"";
    QTest::newRow("blanks only") << "   " << "";
}

void TitleCheckTest::titles()
{
    QFETCH(QString, title);
    QFETCH(QString, refused);
    ScriptedMessageBoxes boxes;
    QCOMPARE(CheckSaveToFileName(title, boxes), refused.isEmpty());
    QCOMPARE(boxes.boxes.size(), refused.isEmpty() ? 0 : 1);
    if (refused.isEmpty())
        return;
    const bool size = refused == "size";
    QCOMPARE(boxes.boxes[0].title, size ? "Listwright - Invalid Name" : "Listwright - Invalid Character");
    QCOMPARE(boxes.boxes[0].text, size ? "Page Title is the wrong size.\rMust be > 0 and < 256 characters"
                                       : "The " + refused + " character is not allowed in a filename.\r"
                                                            "Please remove this character from Page Title");
}

QTEST_APPLESS_MAIN(TitleCheckTest)
#include "tst_titlecheck.moc"
