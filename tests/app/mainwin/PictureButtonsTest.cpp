// The picture buttons: each forwards to its menu command; in help mode it opens its topic.
#include "../MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace vumo;

class PictureButtonsTest : public QObject
{
    Q_OBJECT

private:
    static void addRows()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("tag");
        auto row = [](const char* button, const char* command, const char* tip, const char* tag)
        {
            QTest::newRow(button) << QString::fromLatin1(button) << QString::fromLatin1(command)
                                  << QString::fromLatin1(tip) << QString::fromLatin1(tag);
        };
        row("cmdNew", "mnuFileNew", "New", "#Options");
        row("cmdOpen", "mnuFileOpen", "Open", "#Open");
        row("cmdSave", "mnuFileSave", "Save", "#TRK");
        row("cmdCut", "mnuEditCut", "Cut", "#Copy");
        row("cmdCopy", "mnuEditCopy", "Copy", "#Copy");
        row("cmdPaste", "mnuEditPaste", "Paste", "#Copy");
        row("cmdUndo", "mnuEditUndo", "Undo", "#Copy");
        row("cmdMerge", "mnuEditMerge", "Merge", "#Copy");
        row("CmdPlay", "mnuControlPlay", "Play", "#Record");
        row("cmdRec", "mnuControlRecord", "Record", "#Record");
        row("CmdStop", "mnuControlStop", "Stop", "#Record");
        row("cmdDrum", "mnuAddInDrum", "Drum Editor", "#Drum");
        row("cmdKeys", "mnuAddInMidi", "Midi Editor", "#Midi");
        row("cmdProps", "mnuFileProps", "Properties", "#Options");
        row("cmdTrackProps", "mnuTrackProps", "Track Properties", "#Select");
        row("cmdTrackAdd", "mnuTrackAdd", "Add Track", "#Select");
        row("cmdTrackDel", "mnuTrackDelete", "Delete Track", "#Delete");
        row("cmdFxList", "mnuFXList", "Effects List", "#Effects");
        row("cmdMaster", "mnuTrackMix", "Master", "#Mix");
    }

    static QToolButton* button(test::MainWindowFixture& f, const QString& name)
    {
        auto* b = f.window->findChild<QToolButton*>(name);
        // Record is enabled only for an armed track.
        if (name == QStringLiteral("cmdRec"))
            f.window->findChild<QCheckBox*>(QStringLiteral("chkArm"))->setChecked(true);
        return b;
    }

    // The track check boxes sit in fraTrack, which the first track switch shows.
    static void showTrackBoxes(test::MainWindowFixture& f)
    {
        f.window->findChild<QWidget*>(QStringLiteral("fraTrack"))->show();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    }

private slots:
    void init()
    {
        // A picture that does not load is a failure, not a warning.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("qt.svg")));
    }

    void buttonForwardsToItsCommand_data() { addRows(); }
    void buttonForwardsToItsCommand()
    {
        QFETCH(QString, button);
        QFETCH(QString, command);
        test::MainWindowFixture f;
        QToolButton* b = PictureButtonsTest::button(f, button);
        QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(spy.size() >= 1);
        QCOMPARE(spy.at(0).at(0).toString(), command);
        QVERIFY(f.ui.texts(Shown::Kind::Url).isEmpty());
    }

    void helpModeOpensTheTopicInsteadAndEnds_data() { addRows(); }
    void helpModeOpensTheTopicInsteadAndEnds()
    {
        QFETCH(QString, button);
        QFETCH(QString, tip);
        QFETCH(QString, tag);
        test::MainWindowFixture f;
        QToolButton* b = PictureButtonsTest::button(f, button);
        QCOMPARE(b->toolTip(), tip);
        QCOMPARE(b->property("tag").toString(), tag);
        QVERIFY(!b->icon().pixmap(24, 24).isNull());
        QFile page(QStringLiteral(VUMO_HELP_PAGE)); // the page holds the anchor
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(page.readAll())
                    .contains(QStringLiteral("id=\"%1\"").arg(tag.mid(1))));
        QTest::mouseClick(f.window->findChild<QToolButton*>(QStringLiteral("cmdHelp")),
                          Qt::LeftButton);
        QVERIFY(f.window->helpMode());
        QCOMPARE(f.window->cursor().shape(), Qt::WhatsThisCursor);
        QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(spy.size(), 0);
        const QStringList urls = f.ui.texts(Shown::Kind::Url);
        QCOMPARE(urls.size(), 1);
        QVERIFY2(urls.first().endsWith(QStringLiteral("vumo.htm") + tag), qPrintable(urls.first()));
        QVERIFY(!f.window->helpMode());
        QVERIFY(f.ui.messages().isEmpty());
    }

    void helpButtonTogglesHelpMode()
    {
        test::MainWindowFixture f;
        auto* help = f.window->findChild<QToolButton*>(QStringLiteral("cmdHelp"));
        QCOMPARE(help->toolTip(), QStringLiteral("What's this Help"));
        QCOMPARE(help->property("tag").toString(), QStringLiteral("#CAB"));
        QVERIFY(!f.window->helpMode());
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(f.window->helpMode());
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(!f.window->helpMode());
        QVERIFY(f.ui.shown.isEmpty());
        // Contents opens the page without a topic; the help button has its own.
        f.window->findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
        const QStringList urls = f.ui.texts(Shown::Kind::Url);
        QCOMPARE(urls.size(), 1);
        QVERIFY(urls.first().startsWith(QStringLiteral("file://")));
        QVERIFY(urls.first().endsWith(QStringLiteral("/vumo.htm")));
        QFile page(QStringLiteral(VUMO_HELP_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("id=\"CAB\""));
    }

    void helpPageThatCannotOpenIsReported()
    {
        test::MainWindowFixture f;
        f.ui.urlsOpen = false;
        f.window->setHelpMode(true);
        QTest::mouseClick(f.window->findChild<QToolButton*>(QStringLiteral("cmdOpen")),
                          Qt::LeftButton);
        QCOMPARE(f.ui.messages(), QStringList{QStringLiteral("Unable to open the help file.")});
        QCOMPARE(f.ui.shown.last().title, QStringLiteral("Vumo"));
        QVERIFY(!f.window->helpMode());
    }

    void checkBoxInHelpModeOpensHelpAndKeepsItsValue()
    {
        test::MainWindowFixture f;
        showTrackBoxes(f);
        auto* arm = f.window->findChild<QCheckBox*>(QStringLiteral("chkArm"));
        f.window->setHelpMode(true);
        QTest::mouseClick(arm, Qt::LeftButton);
        QVERIFY(!arm->isChecked());
        QCOMPARE(f.ui.texts(Shown::Kind::Url).size(), 1);
        QVERIFY(!f.window->helpMode());
    }

    void trackBoxesAndMenuItemsFollowEachOther_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("item");
        QTest::newRow("arm") << QStringLiteral("chkArm") << QStringLiteral("mnuControlArm");
        QTest::newRow("merge") << QStringLiteral("chkMerge") << QStringLiteral("mnuControlMerge");
        QTest::newRow("drums") << QStringLiteral("chkDrums")
                               << QStringLiteral("mnuControlActivateDrums");
    }
    void trackBoxesAndMenuItemsFollowEachOther()
    {
        QFETCH(QString, box);
        QFETCH(QString, item);
        test::MainWindowFixture f;
        showTrackBoxes(f);
        auto* check = f.window->findChild<QCheckBox*>(box);
        auto* action = f.window->findChild<QAction*>(item);
        auto* rec = f.window->findChild<QToolButton*>(QStringLiteral("cmdRec"));
        auto* menuRec = f.window->findChild<QAction*>(QStringLiteral("mnuControlRecord"));
        // Both ways in step; Record is usable only while the track is armed.
        auto inStep = [&](bool on)
        {
            const bool recordOn = on && box == QStringLiteral("chkArm");
            return check->isChecked() == on && action->isChecked() == on &&
                   rec->isEnabled() == recordOn && menuRec->isEnabled() == recordOn;
        };
        QVERIFY(inStep(false));
        action->trigger(); // the menu item flips the box, which flips the check mark
        QVERIFY(inStep(true));
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(inStep(false));
    }
};

QTEST_MAIN(PictureButtonsTest)
#include "PictureButtonsTest.moc"
