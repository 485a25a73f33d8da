// The effect file (".sfx") and the chain file (".mfx"): bytes, round trips and refusals.
#include "fx/EffectChain.h"
#include "fx/EffectSetting.h"
#include "fx/FrmFX.h"
#include "support/ScriptedUiServices.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using namespace vumo::fx;

namespace
{

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

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

private slots:
    void savedEchoDefaultHasTheRecordBytes();
    void effectFileRefusalsLeaveTheRecord_data();
    void effectFileRefusalsLeaveTheRecord();
    void chainRoundTripKeepsReservedWordsAndTheFileTail();
    void chainFileRefusalsLeaveTheChain_data();
    void chainFileRefusalsLeaveTheChain();
    void failedWritesAreReported();

private:
    QTemporaryDir m_dir;
};

void FxFilesTest::savedEchoDefaultHasTheRecordBytes()
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

void FxFilesTest::effectFileRefusalsLeaveTheRecord_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QString>("fault");
    EffectSetting gain;
    fillDefaults(gain, 1);
    const QByteArray whole = effectFileBytes(gain);
    QTest::newRow("missing") << QByteArray() << "cannot be opened";
    QTest::newRow("empty") << QByteArray("") << "too short";
    QTest::newRow("last byte missing") << whole.left(whole.size() - 1) << "too short";
    QTest::newRow("no caption3") << whole.left(whole.size() - 7) << "too short";
    QTest::newRow("name of 256 bytes in 10") << QByteArray::fromHex("0001") + "Echo1234"
                                             << "declares a text longer than the bytes left";
    QTest::newRow("caption of 65535 bytes") << whole.left(16) + QByteArray::fromHex("ffff") + "Gain"
                                            << "declares a text longer than the bytes left";
}

void FxFilesTest::effectFileRefusalsLeaveTheRecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    const QString path = m_dir.filePath(QStringLiteral("bad.sfx"));
    QFile::remove(path);
    if (!bytes.isNull())
        putFile(path, bytes);
    EffectSetting s;
    fillDefaults(s, 7);
    s.cancelled = -1;
    const EffectSetting before = s;
    QString error;
    QVERIFY(!loadEffectFile(path, s, error));
    QVERIFY2(error.contains(fault), qPrintable(error));
    QCOMPARE(s, before);
}

void FxFilesTest::chainRoundTripKeepsReservedWordsAndTheFileTail()
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
    putFile(path, QByteArray(100, 'x'));
    QVERIFY(saveChainFile(path, twoEntryChain(), error));
    const QByteArray bytes = fileBytes(path);
    QCOMPARE(bytes.size(), 100);
    QCOMPARE(bytes.mid(54), QByteArray(46, 'x'));
    QCOMPARE(bytes.mid(6, 24), QByteArray::fromHex("0a000000140000000700000"
                                                   "01e000000f7ffffff03000000"));
    QVERIFY(loadChainFile(path, loaded, error));
    QCOMPARE(loaded, twoEntryChain());
}

void FxFilesTest::chainFileRefusalsLeaveTheChain_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QString>("fault");
    const QByteArray two = chainFileBytes(twoEntryChain());
    QTest::newRow("missing") << QByteArray() << "cannot be opened";
    QTest::newRow("5 bytes") << QByteArray("1.00\0", 5) << "too short";
    QTest::newRow("count 18") << QByteArray("1.00\x12\0", 6) + QByteArray(18 * 24, '\0')
                              << "holds 18 effects";
    QTest::newRow("count -1") << QByteArray("1.00\xff\xff", 6) << "holds -1 effects";
    QTest::newRow("one of two entries") << two.left(6 + 24 + 23) << "its 2 effects";
}

void FxFilesTest::chainFileRefusalsLeaveTheChain()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    const QString path = m_dir.filePath(QStringLiteral("bad.mfx"));
    QFile::remove(path);
    if (!bytes.isNull())
        putFile(path, bytes);
    EffectChain chain = twoEntryChain();
    QString error;
    QVERIFY(!loadChainFile(path, chain, error));
    QVERIFY2(error.contains(fault), qPrintable(error));
    QCOMPARE(chain, twoEntryChain());
}

void FxFilesTest::failedWritesAreReported()
{
    // A folder that does not exist, and a target that is a folder holding a file.
    const QString folder = m_dir.filePath(QStringLiteral("taken.sfx"));
    QVERIFY(QDir().mkpath(folder));
    putFile(folder + QStringLiteral("/inside"), "x");
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

QTEST_MAIN(FxFilesTest)
#include "FxFilesTest.moc"
