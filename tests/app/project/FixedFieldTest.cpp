// Tests for the fixed-length text fields: cut between characters, padded with spaces.
#include "project/FixedField.h"

#include <QTest>

using namespace vumo::project;

class FixedFieldTest : public QObject
{
    Q_OBJECT

private slots:
    // Each field is written with encodeField(text, 8) and read back with decodeField.
    void fieldCutsOnlyBetweenCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("short text padded") << "t1" << QByteArray("t1      ") << "t1";
        QTest::newRow("exact fit") << "abcdefgh" << QByteArray("abcdefgh") << "abcdefgh";
        QTest::newRow("long text cut") << "abcdefghij" << QByteArray("abcdefgh") << "abcdefgh";
        // "ä" is two bytes in UTF-8: the eighth byte would split it, so it goes whole.
        QTest::newRow("two-byte character at the cut")
            << QStringLiteral("abcdefg\u00e4") << QByteArray("abcdefg ") << "abcdefg";
        const QString umlauts = QStringLiteral("\u00e4\u00f6\u00fc\u00df");
        QTest::newRow("two-byte characters that fit")
            << umlauts << QByteArray("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f") << umlauts;
        // A character outside the basic plane: four bytes, two UTF-16 units.
        QTest::newRow("surrogate pair at the cut")
            << QString::fromUtf8("abcde\xf0\x9f\x98\x80") << QByteArray("abcde   ") << "abcde";
        QTest::newRow("empty text") << "" << QByteArray("        ") << "";
    }
    void fieldCutsOnlyBetweenCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QFETCH(QString, readBack);
        QCOMPARE(encodeField(text, 8), field);
        QCOMPARE(decodeField(field), readBack);
    }

    void decodeFieldTrimsAndStopsAtNul()
    {
        QCOMPARE(decodeField(QByteArray("  ab  ")), QStringLiteral("ab"));
        QCOMPARE(decodeField(QByteArray(6, '\0')), QString()); // never assigned
        QCOMPARE(decodeField(QByteArray("ab\0cd ", 6)), QStringLiteral("ab"));
    }
};

QTEST_GUILESS_MAIN(FixedFieldTest)
#include "FixedFieldTest.moc"
