// The effect file (".sfx") and the chain file (".mfx"): bytes, round trips and refusals.
#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"
#include "fx/FrmFX.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using namespace vumo::fx;
using namespace vumo::test;

namespace
{

EffectChain twoEntryChain()
{
    EffectChain c;
    c.version = "0.9x";
    c.count = 2;
    c.entries[0] = {10, 20, 7, 30, -9, 3};
    c.entries[1] = {300, -1, 0, 128, 0, 25};
    return c;
}

} // namespace

class FxFilesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void savedEchoDefaultHasTheRecordBytes()
    {
        EffectSetting s;
        QVERIFY(fillDefaults(s, 3));
        ScriptedUiServices ui;
        const QString path = m_dir.filePath(QStringLiteral("echo.sfx"));
        ui.files.push_back(path);
        FrmFX dialog(s, ui);
        dialog.findChild<QAbstractButton*>(QStringLiteral("cmdSave"))->click();
        // Saved while the dialog is open: the cancelled flag is -1.
        const QByteArray expected =
            QByteArray::fromHex("0400") + "Echo" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0400") + "Rate" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0700") + "Sustain" + QByteArray::fromHex("80000000") +
            QByteArray::fromHex("0300") + "Pan" + QByteArray::fromHex("ffff");
        QCOMPARE(fileBytes(path), expected);
        QCOMPARE(ui.shown.size(), 1); // the file choice only, no message
        QCOMPARE(ui.shown[0].detail, QStringLiteral("Save as"));
    }

    void chainRoundTripKeepsReservedWordsAndTheFileTail()
    {
        const QString path = m_dir.filePath(QStringLiteral("chain.mfx"));
        QString error;
        // An empty chain is the version and a zero count.
        QVERIFY(saveChainFile(path, EffectChain{}, error));
        QCOMPARE(fileBytes(path), QByteArray("1.00\0\0", 6));
        EffectChain loaded = twoEntryChain();
        QVERIFY(loadChainFile(path, loaded, error));
        QCOMPARE(loaded, EffectChain{});

        // Written over the start of a longer file: the rest of the file stays.
        QVERIFY(putFile(path, QByteArray(100, 'x')));
        QVERIFY(saveChainFile(path, twoEntryChain(), error));
        const QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), 100);
        QCOMPARE(bytes.mid(54), QByteArray(46, 'x'));
        QCOMPARE(bytes.mid(6, 24), QByteArray::fromHex("0a000000140000000700000"
                                                       "01e000000f7ffffff03000000"));
        QVERIFY(loadChainFile(path, loaded, error));
        QCOMPARE(loaded, twoEntryChain());
    }

    void refusedFilesLeaveTheRecord_data()
    {
        QTest::addColumn<bool>("chain");       // a chain file, else an effect file
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("fault");
        EffectSetting gain;
        fillDefaults(gain, 1);
        const QByteArray whole = effectFileBytes(gain);
        const QString tooLong = QStringLiteral("declares a text longer than the bytes left");
        QTest::newRow("effect: missing") << false << QByteArray() << "cannot be opened";
        QTest::newRow("effect: empty") << false << QByteArray("") << "too short";
        QTest::newRow("effect: last byte missing") << false << whole.chopped(1) << "too short";
        QTest::newRow("effect: no caption3") << false << whole.chopped(7) << "too short";
        QTest::newRow("effect: name of 256 bytes in 10")
            << false << QByteArray::fromHex("0001") + "Echo1234" << tooLong;
        QTest::newRow("effect: caption of 65535 bytes")
            << false << whole.left(16) + QByteArray::fromHex("ffff") + "Gain" << tooLong;
        QTest::newRow("chain: missing") << true << QByteArray() << "cannot be opened";
        QTest::newRow("chain: 5 bytes") << true << QByteArray("1.00\0", 5) << "too short";
        QTest::newRow("chain: count 18")
            << true << QByteArray("1.00\x12\0", 6) + QByteArray(18 * 24, '\0')
            << "holds 18 effects";
        QTest::newRow("chain: count -1")
            << true << QByteArray("1.00\xff\xff", 6) << "holds -1 effects";
        QTest::newRow("chain: one of two entries")
            << true << chainFileBytes(twoEntryChain()).left(6 + 24 + 23) << "its 2 effects";
    }

    void refusedFilesLeaveTheRecord()
    {
        QFETCH(bool, chain);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fault);
        const QString path = m_dir.filePath(QStringLiteral("bad"));
        QFile::remove(path);
        if (!bytes.isNull())
            QVERIFY(putFile(path, bytes));
        EffectSetting s;
        fillDefaults(s, 7);
        s.cancelled = -1;
        const EffectSetting before = s;
        EffectChain c = twoEntryChain();
        QString error;
        QVERIFY(!(chain ? loadChainFile(path, c, error) : loadEffectFile(path, s, error)));
        QVERIFY2(error.contains(fault), qPrintable(error));
        QCOMPARE(s, before);
        QCOMPARE(c, twoEntryChain());
    }

    void failedWritesAreReported()
    {
        // A folder that does not exist, and a target that is a folder holding a file.
        const QString folder = m_dir.filePath(QStringLiteral("taken.sfx"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(putFile(folder + QStringLiteral("/inside"), "x"));
        for (const QString& path : {m_dir.filePath(QStringLiteral("none/a.sfx")), folder})
        {
            QString error;
            QVERIFY(!saveEffectFile(path, EffectSetting{}, error));
            QVERIFY2(error.startsWith(QStringLiteral("The file ")), qPrintable(error));
            QVERIFY(!saveChainFile(path, EffectChain{}, error));
            QVERIFY(!QFile::exists(path + QStringLiteral(".tmp")));
        }
        // Through the dialog the failure reaches the user.
        ScriptedUiServices ui;
        ui.files.push_back(m_dir.filePath(QStringLiteral("none/b.sfx")));
        EffectSetting s;
        FrmFX dialog(s, ui);
        dialog.findChild<QAbstractButton*>(QStringLiteral("cmdSave"))->click();
        QCOMPARE(ui.messages().size(), 1);
    }
};

QTEST_MAIN(FxFilesTest)
#include "FxFilesTest.moc"
