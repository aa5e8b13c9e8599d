// Size text of byte counts, and the character counts that the list columns rely on.
#include "scan/ByteConverter.h"
#include "shared/Text.h"

#include <QLocale>
#include <QtTest>

class TestBytes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void sizeText_data();
    void sizeText();
    void charactersAsAPersonCountsThem();
};

void TestBytes::sizeText_data()
{
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("text");
    const std::pair<double, const char *> rows[] = {
        {0, "0    B "}, {1, "1    B "}, {1023, "1023    B "}, {1024, "1024    B "}, {-1, "-1    B "},
        {1025, "1.00 KB"}, {1536, "1.50 KB"}, {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"}, {1572864, "1.50 MB"}, {1073741823, "1024.00 MB"}, {1073741824, "1.00 GB"},
        {3221225472.0, "3.00 GB"}, {5368709120.0, "5.00 GB"}, {1099511627776.0, "1024.00 GB"}, // both above 2^32
        {1152, "1.13 KB"}, // 1.125 rounds half away from zero on its decimal text
    };
    for (const auto &[bytes, text] : rows)
        QTest::newRow(text) << bytes << QString::fromLatin1(text);
}

void TestBytes::sizeText()
{
    QFETCH(double, bytes);
    QFETCH(QString, text);
    QCOMPARE(ByteConverter(bytes), text);
}

void TestBytes::charactersAsAPersonCountsThem()
{
    QCOMPARE(charCount(QString::fromUtf8("caf\xc3\xa9 \xf0\x9f\x93\x81")), qsizetype(6)); // an emoji is one
}

QTEST_GUILESS_MAIN(TestBytes)
#include "tst_bytes.moc"
