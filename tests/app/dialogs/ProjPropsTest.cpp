// The Project Settings and Track Properties dialogs on their own: the upside-down memory bar,
// the recording time, the memory check, Cancel; and the physical memory figures.
#include "../MainWindowFixture.h"
#include "dialogs/FrmProjProps.h"
#include "dialogs/FrmTrackProps.h"
#include "settings/PhysicalMemory.h"
#include "support/ScriptedUiServices.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace vumo;
using vumo::test::child;

class ProjPropsTest : public QObject
{
    Q_OBJECT

private:
    static ModVumo project(int32_t memoryMB, const QString& title = QStringLiteral("Demo"))
    {
        ModVumo mod;
        mod.trackLength = memoryMB * kFramesPerMB;
        mod.projTitle.assign(title);
        return mod;
    }

private slots:
    void recordingTimeIsMinutesAndSeconds_data()
    {
        QTest::addColumn<int>("mb");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 MB") << 1 << "00.06";
        QTest::newRow("4 MB") << 4 << "00.24";
        QTest::newRow("16 MB") << 16 << "01.35";
        QTest::newRow("256 MB") << 256 << "25.22";
    }
    void recordingTimeIsMinutesAndSeconds()
    {
        QFETCH(int, mb);
        QFETCH(QString, text);
        QCOMPARE(recordingTimeText(mb), text);
    }

    void opensWithTheProjectsFigures()
    {
        ModVumo mod = project(4);
        ScriptedUiServices ui;
        FrmProjProps dialog(mod, ui, 2048);
        QCOMPARE(child<QLineEdit>(dialog, "txtTitle")->text(), QStringLiteral("Demo"));
        QCOMPARE(child<QLineEdit>(dialog, "txtMem")->text(), QStringLiteral("4"));
        QCOMPARE(child<QScrollBar>(dialog, "vscMem")->value(), 252);
        QCOMPARE(child<QLineEdit>(dialog, "txtSec")->text(), QStringLiteral("00.24"));
        QCOMPARE(child<QLineEdit>(dialog, "txtTotalMem")->text(), QStringLiteral("13"));
        QCOMPARE(child<QLabel>(dialog, "lblMem")->text(), QStringLiteral("2048"));
        QVERIFY(!child<QPushButton>(dialog, "cmdCancel")->isHidden());
    }

    void theBarRunsUpsideDown()
    {
        ModVumo mod = project(4);
        ScriptedUiServices ui;
        FrmProjProps dialog(mod, ui, 100000);
        child<QScrollBar>(dialog, "vscMem")->setValue(0);
        QCOMPARE(child<QLineEdit>(dialog, "txtMem")->text(), QStringLiteral("256"));
        QCOMPARE(child<QLineEdit>(dialog, "txtTotalMem")->text(), QStringLiteral("769"));
        QCOMPARE(child<QLineEdit>(dialog, "txtSec")->text(), QStringLiteral("25.22"));
        child<QScrollBar>(dialog, "vscMem")->setValue(255);
        QCOMPARE(child<QLineEdit>(dialog, "txtMem")->text(), QStringLiteral("1"));
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(mod.trackLength, kFramesPerMB);
        QCOMPARE(mod.recTimeText, QStringLiteral("00.06"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void okNeedsThreeBuffersAndOneMBMore()
    {
        ModVumo mod = project(4);
        ScriptedUiServices ui;
        FrmProjProps dialog(mod, ui, 48);
        dialog.show();
        child<QScrollBar>(dialog, "vscMem")->setValue(256 - 16);
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(ui.messages(),
                 QStringList{QStringLiteral("You have requested more memory than is available.")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(mod.trackLength, 4 * kFramesPerMB);

        FrmProjProps enough(mod, ui, 49);
        child<QScrollBar>(enough, "vscMem")->setValue(256 - 16);
        child<QLineEdit>(enough, "txtTitle")->setText(QStringLiteral("Seventeen chars!!"));
        child<QPushButton>(enough, "cmdOK")->click();
        QCOMPARE(ui.messages().size(), 1);
        QCOMPARE(mod.trackLength, 16 * kFramesPerMB);
        QCOMPARE(mod.projTitle.trimmed(), QStringLiteral("Seventeen chars!"));
    }

    void cancelLeavesTheProjectAndSaysSo()
    {
        ModVumo mod = project(4);
        ScriptedUiServices ui;
        FrmProjProps dialog(mod, ui, 100000);
        mod.recTimeText = QStringLiteral("00.24");
        child<QScrollBar>(dialog, "vscMem")->setValue(0);
        child<QPushButton>(dialog, "cmdCancel")->click();
        QVERIFY(mod.dialogCancelled);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(mod.recTimeText, QStringLiteral("00.24")); // the window's length stays
        QCOMPARE(mod.trackLength, 4 * kFramesPerMB);
        QCOMPARE(mod.projTitle.trimmed(), QStringLiteral("Demo"));
        mod.startupNew = true; // the start-up New has no Cancel
        FrmProjProps startUp(mod, ui, 100000);
        QVERIFY(child<QPushButton>(startUp, "cmdCancel")->isHidden());
    }

    void aLengthOutsideTheBarShowsTheNearestItCanSet_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("mb");
        QTest::newRow("below 1 MB") << 1000 << "1";
        QTest::newRow("not whole MB") << 3 * kFramesPerMB + 5 << "3";
    }
    void aLengthOutsideTheBarShowsTheNearestItCanSet()
    {
        QFETCH(int, frames);
        QFETCH(QString, mb);
        ModVumo mod;
        mod.trackLength = frames;
        ScriptedUiServices ui;
        FrmProjProps dialog(mod, ui, 100000);
        QCOMPARE(child<QLineEdit>(dialog, "txtMem")->text(), mb);
        QCOMPARE(child<QScrollBar>(dialog, "vscMem")->value(), 256 - mb.toInt());
    }

    void trackPropertiesShowTheCurrentTrack()
    {
        ModVumo mod;
        mod.trackCount = 2;
        mod.currentTrack = 1;
        mod.tracks[1].title.assign(QStringLiteral("Bass"));
        mod.tracks[1].fileName.assign(QStringLiteral("/music/bass.wav"));
        ScriptedUiServices ui;
        ui.files.push_back(QStringLiteral("/music/other.wav"));
        FrmTrackProps dialog(mod, ui);
        QCOMPARE(child<QLineEdit>(dialog, "txtTitle")->text(), QStringLiteral("Bass"));
        QCOMPARE(child<QLineEdit>(dialog, "txtFileName")->text(),
                 QStringLiteral("/music/bass.wav"));
        child<QPushButton>(dialog, "cmdBrowse")->click();
        QCOMPARE(ui.texts(Shown::Kind::FileChoice), QStringList{QStringLiteral("*.wav")});
        QCOMPARE(child<QLineEdit>(dialog, "txtFileName")->text(),
                 QStringLiteral("/music/other.wav"));
        child<QPushButton>(dialog, "cmdBrowse")->click(); // cancelled: the box is emptied
        QCOMPARE(child<QLineEdit>(dialog, "txtFileName")->text(), QString());
        child<QPushButton>(dialog, "OKButton")->click();
        QCOMPARE(ui.messages(),
                 QStringList{QStringLiteral("You must supply a title and filename.")});
        child<QLineEdit>(dialog, "txtFileName")->setText(QStringLiteral("/music/b.wav"));
        child<QPushButton>(dialog, "OKButton")->click();
        QCOMPARE(mod.tracks[1].fileName.trimmed(), QStringLiteral("/music/b.wav"));
        QVERIFY(!mod.dialogCancelled);
    }

    // (How a text is cut is checked by tst_projectfile.)
    void fixedTextFitsOnlyWhatEncodesWhole()
    {
        QVERIFY(FixedText<16>::fits(QStringLiteral("Café Crème Br")));
        QVERIFY(!FixedText<16>::fits(QStringLiteral("Café Crème Brû"))); // 17 bytes
    }

    void memInfoGivesTotalAndAvailable()
    {
        const MemoryStatus s = parseMemInfo(QStringLiteral("MemTotal:       16318480 kB\n"
                                                           "MemFree:          501234 kB\n"
                                                           "MemAvailable:    8000000 kB\n"));
        QCOMPARE(s.totalBytes, uint64_t(16318480) * 1024);
        QCOMPARE(s.availableBytes, uint64_t(8000000) * 1024);
        const MemoryStatus old =
            parseMemInfo(QStringLiteral("MemTotal: 2048 kB\nMemFree: 1024 kB\n"));
        QCOMPARE(old.availableBytes, uint64_t(1024) * 1024);
        QCOMPARE(bytesToRoundedMB(uint64_t(16318480) * 1024), int64_t(15936));
        QCOMPARE(bytesToRoundedMB(1572864), int64_t(2)); // 1.5 MB: halves go to even
        QCOMPARE(bytesToRoundedMB(2621440), int64_t(2)); // 2.5 MB
        QVERIFY(physicalMemory().totalBytes > 0);
    }
};

QTEST_MAIN(ProjPropsTest)
#include "ProjPropsTest.moc"
