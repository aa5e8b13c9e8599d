#include "output/TitleCheck.h"
#include "support/ScriptedMessageBoxes.h"

#include <QtTest>

class TitleCheckTest : public QObject {
    Q_OBJECT
private slots:
    void titles()
    {
        // The title, and the character the box names ("size" for the wrong size, empty when it passes).
        const QString folder = QString::fromUtf8("\xF0\x9F\x93\x81"); // one character to a person, two UTF-16 units
        const std::pair<QString, QString> rows[] = {
            {"", "size"}, {QString(255, u'a'), ""}, {QString(250, u'a') + "a/b\\c:", "size"}, {folder.repeated(255), ""},
            {"a/b\\c", "/"}, {"say \"hi\"", "\""}, {"   ", ""}, {"x<y", "<"}, {"a|b>c", "|"}};
        for (const auto &[title, refused] : rows) {
            ScriptedMessageBoxes boxes;
            QCOMPARE(CheckSaveToFileName(title, boxes), refused.isEmpty());
            QCOMPARE(boxes.boxes.size(), refused.isEmpty() ? 0 : 1);
            if (refused == "size")
                QCOMPARE(boxes.boxes[0].title + '|' + boxes.boxes[0].text,
                         "Listwright - Invalid Name|Page Title is the wrong size.\rMust be > 0 and < 256 characters");
            else if (!refused.isEmpty())
                QCOMPARE(boxes.boxes[0].title + '|' + boxes.boxes[0].text, "Listwright - Invalid Character|The " + refused
                             + " character is not allowed in a filename.\rPlease remove this character from Page Title");
        }
    }
};

QTEST_APPLESS_MAIN(TitleCheckTest)
#include "tst_titlecheck.moc"
