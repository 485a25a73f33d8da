// Tests for the fixed-length text fields: cut between characters, padded with spaces.
#include "project/FixedField.h"

#include <QTest>

using namespace vumo::project;

class FixedFieldTest : public QObject
{
    Q_OBJECT

private slots:
    void encodeFieldCutsOnlyBetweenCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("short text padded") << QStringLiteral("t1") << QByteArray("t1      ");
        QTest::newRow("exact fit") << QStringLiteral("abcdefgh") << QByteArray("abcdefgh");
        QTest::newRow("long text cut") << QStringLiteral("abcdefghij") << QByteArray("abcdefgh");
        // "ä" is two bytes in UTF-8: the eighth byte would split it, so it goes whole.
        QTest::newRow("two-byte character at the cut")
            << QStringLiteral("abcdefg\u00e4") << QByteArray("abcdefg ");
        QTest::newRow("two-byte characters that fit")
            << QStringLiteral("\u00e4\u00f6\u00fc\u00df")
            << QByteArray("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f");
        // A character outside the basic plane: four bytes, two UTF-16 units.
        QTest::newRow("surrogate pair at the cut")
            << QString::fromUtf8("abcde\xf0\x9f\x98\x80") << QByteArray("abcde   ");
        QTest::newRow("empty text") << QString() << QByteArray("        ");
    }
    void encodeFieldCutsOnlyBetweenCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QCOMPARE(encodeField(text, 8), field);
    }

    void decodeFieldTrimsAndStopsAtNul_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("padded") << QByteArray("t1              ") << QStringLiteral("t1");
        QTest::newRow("leading spaces") << QByteArray("  ab  ") << QStringLiteral("ab");
        QTest::newRow("never assigned") << QByteArray(6, '\0') << QString();
        QTest::newRow("NUL ends the text") << QByteArray("ab\0cd ", 6) << QStringLiteral("ab");
        QTest::newRow("UTF-8") << QByteArray("K\xc3\xb6ln  ") << QStringLiteral("K\u00f6ln");
    }
    void decodeFieldTrimsAndStopsAtNul()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QCOMPARE(decodeField(field), text);
    }
};

QTEST_GUILESS_MAIN(FixedFieldTest)
#include "FixedFieldTest.moc"
