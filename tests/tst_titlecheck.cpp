#include "output/TitleCheck.h"
#include "shared/MainForm.h"
#include "support/ScriptedMessageBoxes.h"

#include <QLineEdit>
#include <QtTest>

namespace {
const QString WrongSize = QStringLiteral("Page Title is the wrong size.\rMust be > 0 and < 256 characters");

QString refusedText(const QString &c)
{
    return QStringLiteral("The ") + c
           + QStringLiteral(" character is not allowed in a filename.\rPlease remove this character from Page Title");
}
}

class TitleCheckTest : public QObject {
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
    void clearTitleEmptiesTheBox();
};

void TitleCheckTest::titles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("boxText"); // empty: passes without a box
    QTest::addColumn<QString>("boxTitle");

    const QString invalidName = QStringLiteral("Listwright - Invalid Name");
    const QString invalidChar = QStringLiteral("Listwright - Invalid Character");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x81"); // one character, two UTF-16 units

    QTest::newRow("empty") << QString() << WrongSize << invalidName;
    QTest::newRow("255 characters") << QString(255, u'a') << QString() << QString();
    QTest::newRow("256 characters") << QString(256, u'a') << WrongSize << invalidName;
    QTest::newRow("256 with refused characters") << QString(250, u'a') + QStringLiteral("a/b\\c:") << WrongSize << invalidName;
    QTest::newRow("255 accented") << QString(255, QChar(0xE9)) << QString() << QString();
    QTest::newRow("255 emoji") << emoji.repeated(255) << QString() << QString();
    QTest::newRow("256 emoji") << emoji.repeated(256) << WrongSize << invalidName;
    QTest::newRow("leftmost is reported") << QStringLiteral("a/b\\c") << refusedText(QStringLiteral("/")) << invalidChar;
    QTest::newRow("double quote") << QStringLiteral("say \"hi\"") << refusedText(QStringLiteral("\"")) << invalidChar;
    QTest::newRow("pipe after colon") << QStringLiteral("x:y|z") << refusedText(QStringLiteral(":")) << invalidChar;
    QTest::newRow("blanks only") << QStringLiteral("   ") << QString() << QString();
    QTest::newRow("dots and .txt") << QStringLiteral("list.v2.txt") << QString() << QString();
    QTest::newRow("other punctuation") << QStringLiteral("a;b,c'd[e]f#") << QString() << QString();
}

void TitleCheckTest::titles()
{
    QFETCH(QString, title);
    QFETCH(QString, boxText);
    QFETCH(QString, boxTitle);

    ScriptedMessageBoxes boxes;
    QCOMPARE(CheckSaveToFileName(title, boxes), boxText.isEmpty());
    if (boxText.isEmpty()) {
        QCOMPARE(boxes.boxes.size(), 0);
        return;
    }
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, boxText);
    QCOMPARE(boxes.boxes[0].title, boxTitle);
    QCOMPARE(boxes.boxes[0].buttons, MessageBoxes::Buttons::Ok);
}

void TitleCheckTest::clearTitleEmptiesTheBox()
{
    QLineEdit title(QStringLiteral("LISTWRIGHT"));
    MainForm f;
    f.txtTitle = &title;
    cmdClearTitle_Click(f);
    QCOMPARE(title.text(), QString());
}

QTEST_MAIN(TitleCheckTest)
#include "tst_titlecheck.moc"
