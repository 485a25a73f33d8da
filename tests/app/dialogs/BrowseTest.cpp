// The file dialog: OPEN and SAVE rules, the appended extension, and the window's lists.
#include "dialogs/Browse.h"
#include "dialogs/FrmBrowse.h"
#include "settings/AppFolder.h"
#include "support/ScriptedUiServices.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace vumo;

class BrowseTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return joinPath(m_dir.path(), name); }

    void touch(const QString& name)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // Runs act on the file dialog once it is up and exposed; closes it if act leaves it open.
    void whenDialogShows(std::function<void(QDialog*)> act)
    {
        QTimer::singleShot(20, this,
                           [this, act]
                           {
                               for (QWidget* w : QApplication::topLevelWidgets())
                               {
                                   auto* dialog = qobject_cast<FrmBrowse*>(w);
                                   if (dialog == nullptr || !dialog->isVisible())
                                       continue;
                                   if (!QTest::qWaitForWindowExposed(dialog))
                                       break;
                                   act(dialog);
                                   if (dialog->isVisible())
                                       dialog->reject();
                                   return;
                               }
                               whenDialogShows(act); // not up yet
                           });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        touch(QStringLiteral("take.wav"));
        touch(QStringLiteral("song.vum"));
        touch(QStringLiteral("notes.txt"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("take.v2")));
        QDir::setCurrent(m_dir.path());
    }

    void answerIsChecked_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");       // -1 none scripted, 0 Yes, 1 No
        QTest::addColumn<QString>("expected"); // the question is asked when an answer is given
        const QString take = path(QStringLiteral("take.wav"));
        const QString folder = m_dir.path() + QDir::separator();
        auto row = [](const char* what, const char* caption, const char* pattern,
                      const QString& name, int answer, const QString& expected)
        {
            QTest::newRow(what) << QString::fromLatin1(caption) << QString::fromLatin1(pattern)
                                << name << answer << expected;
        };
        row("Open an existing file", "Open", "*.wav", take, -1, take);
        row("Open a missing file gives nothing", "Open", "*.wav", path("gone.wav"), -1, "");
        row("Open a folder gives nothing", "Open", "*.wav", folder, -1, "");
        row("OPEN in capitals", "OPEN FILE", "*.wav", take, -1, take);
        row("Save over, Yes", "Save as", "*.wav", take, 0, take);
        row("Save over, No", "Save as", "*.wav", take, 1, "");
        row("Save new name gets .mfx", "Save as", "*.mfx", path("chain"), -1, path("chain.mfx"));
        row("Save with two patterns takes the first", "Save as", "*.vum;*.wav", path("mix"), -1,
            path("mix.vum"));
        row("Save name with a point stays", "Save as", "*.mfx", path("chain.old"), -1,
            path("chain.old"));
        row("a point in a folder name does not stop the extension", "Save as", "*.mfx",
            path("take.v2/chain"), -1, path("take.v2/chain.mfx"));
        row("Save with *.* appends nothing", "Save", "*.*", path("plain"), -1, path("plain"));
        row("Save a folder gives nothing", "Save as", "*.wav", folder, -1, "");
        row("other caption takes the name as typed", "Choose", "*.wav", path("gone"), -1,
            path("gone"));
        row("empty stays empty", "Save as", "*.wav", "", -1, "");
    }
    void answerIsChecked()
    {
        QFETCH(QString, caption);
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QString, expected);
        const bool asked = answer >= 0;
        ScriptedUiServices ui;
        if (answer >= 0)
            ui.answers.push_back(answer == 0 ? Answer::Yes : Answer::No);
        QCOMPARE(checkBrowseResult(ui, caption, pattern, name), expected);
        QCOMPARE(ui.questions(),
                 asked ? QStringList{QStringLiteral("This file already exists.  Are you sure you "
                                                    "want to overwrite it?")}
                       : QStringList{});
        if (asked)
            QCOMPARE(ui.shown.first().title, QStringLiteral("Alert"));
    }

    void windowListsPatternFilesAndPutsTheFolderInTheNameBox()
    {
        ScriptedUiServices ui;
        FrmBrowse dialog(ui);
        dialog.prepare(QStringLiteral("*.wav"), QStringLiteral("Open"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Open"));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("txtFileName"));
        QCOMPARE(name->text(), QStringLiteral("*.wav"));
        auto* patterns = dialog.findChild<QListWidget*>(QStringLiteral("LstPattern"));
        QCOMPARE(patterns->count(), 2);
        QCOMPARE(patterns->item(0)->text(), QStringLiteral("*.wav"));
        QCOMPARE(patterns->item(1)->text(), QStringLiteral("*.*"));
        QVERIFY(patterns->selectedItems().isEmpty());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(name->text(), QDir::toNativeSeparators(m_dir.path()) + QDir::separator());
        QCOMPARE(dialog.files(), QStringList{QStringLiteral("take.wav")});
        auto* dirs = dialog.findChild<QListWidget*>(QStringLiteral("Dir1"));
        QVERIFY(!dirs->findItems(QStringLiteral("sub"), Qt::MatchExactly).isEmpty());
        // "*.*" shows every file.
        QTest::mouseClick(patterns->viewport(), Qt::LeftButton, {},
                          patterns->visualItemRect(patterns->item(1)).center());
        const QStringList all{QStringLiteral("notes.txt"), QStringLiteral("song.vum"),
                              QStringLiteral("take.wav")};
        QCOMPARE(dialog.files(), all);
        // Entering a folder shows its files and puts it in the name box.
        dialog.setFolder(path(QStringLiteral("sub")));
        QVERIFY(dialog.files().isEmpty());
        QCOMPARE(name->text(), path(QStringLiteral("sub")) + QDir::separator());
        dialog.setFolder(dialog.folder() + QStringLiteral("/.."));
        QCOMPARE(dialog.files(), all);
        // Cancel empties the name.
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.fileName(), QString());
    }

    void drivesListRootsAndOneNotReadyAsksToTryAgain()
    {
        ScriptedUiServices ui;
        ui.answers = {Answer::Yes, Answer::No}; // try once more, then give up
        FrmBrowse dialog(ui);
        QVERIFY(dialog.drives().contains(QDir::rootPath()));
        dialog.changeDrive(QDir::rootPath());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(dialog.folder(), QDir::rootPath());
        dialog.setFolder(m_dir.path());
        dialog.changeDrive(QStringLiteral("/no-such-volume-here"));
        QCOMPARE(ui.questions(),
                 (QStringList{QStringLiteral("Please check the disk. Try Again?"),
                              QStringLiteral("Please check the disk. Try Again?")}));
        QCOMPARE(ui.shown.first().icon, MsgIcon::Exclamation);
        QCOMPARE(dialog.folder(), QDir(m_dir.path()).absolutePath());
    }

    // A click fills the name; a double-click returns it.
    void browseForFileReturnsTheDoubleClickedPath()
    {
        ScriptedUiServices ui;
        whenDialogShows(
            [](QDialog* dialog)
            {
                auto* files = dialog->findChild<QListWidget*>(QStringLiteral("File1"));
                // A double-click starts with a click.
                const QPoint at = files->visualItemRect(files->item(0)).center();
                QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
            });
        QCOMPARE(BrowseForFile(ui, QStringLiteral("*.wav"), QStringLiteral("Open")),
                 path(QStringLiteral("take.wav")));
    }
};

QTEST_MAIN(BrowseTest)
#include "BrowseTest.moc"
