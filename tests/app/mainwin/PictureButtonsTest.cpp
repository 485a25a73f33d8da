// The picture buttons and keys: in help mode a button opens its topic instead of its command.
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

    void everyButtonInHelpModeOpensItsTopicInsteadOfItsCommand()
    {
        // Read from the window itself: each picture button with a help topic.
        QFile page(QStringLiteral(VUMO_HELP_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(page.readAll());
        test::MainWindowFixture f;
        int buttons = 0;
        for (QToolButton* b : f.window->findChildren<QToolButton*>())
        {
            const QString tag = b->property("tag").toString();
            if (b->objectName() == QStringLiteral("cmdHelp") || tag.isEmpty())
                continue;
            ++buttons;
            QVERIFY2(help.contains(QStringLiteral("id=\"%1\"").arg(tag.mid(1))), qPrintable(tag));
            QVERIFY(!b->icon().pixmap(24, 24).isNull());
            if (b->objectName() == QStringLiteral("cmdRec")) // enabled for an armed track only
                test::child<QCheckBox>(*f.window, "chkArm")->setChecked(true);
            f.window->setHelpMode(true);
            QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(spy.size(), 0);
            QVERIFY2(f.ui.texts(Shown::Kind::Url).last().endsWith(QStringLiteral("vumo.htm") + tag),
                     qPrintable(b->objectName()));
            QVERIFY(!f.window->helpMode());
        }
        QVERIFY(buttons > 0);
    }

    void functionKeyRunsItsCommand()
    {
        test::MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QSignalSpy spy(f.window.get(), &frmVumo::commandStarted);
        QTest::keyClick(f.window.get(), Qt::Key_F7);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("mnuControlStop"));
    }

    void helpButtonTogglesHelpModeAndContentsOpensThePage()
    {
        test::MainWindowFixture f;
        auto* help = f.window->findChild<QToolButton*>(QStringLiteral("cmdHelp"));
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(f.window->helpMode());
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(!f.window->helpMode());
        QVERIFY(f.ui.shown.isEmpty());
        f.window->findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
        const QStringList urls = f.ui.texts(Shown::Kind::Url);
        QCOMPARE(urls.size(), 1);
        QVERIFY(urls.first().startsWith(QStringLiteral("file://")));
        QVERIFY(urls.first().endsWith(QStringLiteral("/vumo.htm")));
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
