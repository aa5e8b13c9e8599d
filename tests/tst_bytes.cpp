// Size text of byte counts, and the character counts and name order that the lists rely on.
#include "scan/ByteConverter.h"
#include "shared/Text.h"

#include <QLocale>
#include <QtTest>

class TestBytes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void sizeText()
    {
        const std::pair<double, const char *> rows[] = {
            {0, "0    B "}, {1023, "1023    B "}, {1024, "1024    B "}, {-1, "-1    B "}, {1025, "1.00 KB"},
            {1536, "1.50 KB"}, {1048575, "1024.00 KB"}, {1048576, "1.00 MB"}, {1073741823, "1024.00 MB"},
            {1073741824, "1.00 GB"}, {3221225472.0, "3.00 GB"}, {1099511627776.0, "1024.00 GB"}, // above 2^32
            {1152, "1.13 KB"}, // 1.125 rounds half away from zero on its decimal text
        };
        for (const auto &[bytes, text] : rows)
            QCOMPARE(ByteConverter(bytes), QLatin1String(text));
    }
    void charactersAsAPersonCountsThem()
    {
        QCOMPARE(charCount(QString::fromUtf8("caf\xc3\xa9 \xf0\x9f\x93\x81")), qsizetype(6)); // an emoji is one
    }
    void nameOrder()
    {
        // Case-insensitive, ties by exact bytes; letters beyond ASCII fold too, and a prefix comes first.
        const QByteArrayList sorted{"A", "a", "ab", "B", "b.txt", "b_", "Z", "\xc3\x84pfel", "\xc3\xa4pfel",
                                    "\xc3\xa4Pfel2", "\xc3\x84Q", "\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89x"};
        for (qsizetype i = 0; i < sorted.size(); ++i)
            for (qsizetype j = 0; j < sorted.size(); ++j)
                QVERIFY2(nameLess(sorted[i], sorted[j]) == (i < j), sorted[i] + " / " + sorted[j]);
    }
};

QTEST_GUILESS_MAIN(TestBytes)
#include "tst_bytes.moc"
