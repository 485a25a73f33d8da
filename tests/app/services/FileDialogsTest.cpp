// File choices through the real QtUiServices: the system's file dialog (QFileDialog) by default,
// the studio's own browser when Options says so (kept across a restart), and the studio's own
// questions and patterns in the system's dialog. The dialogs are real, answered by a timer.
#include "dialogs/frmOptions.h"
#include "services/QtUiServices.h"
#include "settings/Settings.h"
#include "support/BoxAnswerer.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vumo;
using vumo::test::BoxAnswerer;
using vumo::test::putFile;

namespace
{

// Types name into the system's dialog and presses Enter, as a user would.
BoxAnswerer::Press typeAndEnter(const QString& name)
{
    return [name](QDialog& d)
    {
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit != nullptr);
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

} // namespace

class FileDialogsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(name));
        QDir::setCurrent(m_dir.path()); // where both dialogs open first
    }

    // The Options box is ticked or cleared, the studio restarts (settings read again), and a file
    // choice comes up in the dialog the box chose.
    void optionsChooseTheDialogAcrossARestart()
    {
        const QString ini = m_dir.filePath(QStringLiteral("settings.ini"));
        for (const auto& [own, dialogClass] : {std::pair{true, "vumo::FrmBrowse"},
                                               {false, "QFileDialog"},
                                               {true, "vumo::FrmBrowse"}})
        {
            {
                QSettings store(ini, QSettings::IniFormat);
                ScriptedUiServices scripted;
                scripted.dialogs.push_back(
                    [own](QDialog& options)
                    {
                        options.findChild<QCheckBox*>(QStringLiteral("chkOwnBrowser"))
                            ->setChecked(own);
                        options.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
                    });
                const auto set = runOptions(scripted, {LoadSettings(store), 100}, {});
                QVERIFY(set);
                SaveSettings(set->settings, store); // as the Options command does on OK
            }
            QSettings store(ini, QSettings::IniFormat);
            const StudioSettings restarted = LoadSettings(store);
            QCOMPARE(restarted.ownFileBrowser, own);
            QtUiServices ui;
            ui.setFileBrowserChoice([&restarted] { return restarted.ownFileBrowser; });
            BoxAnswerer user;
            QString shown;
            user.push(
                [&shown](QDialog& d)
                {
                    shown = QString::fromLatin1(d.metaObject()->className());
                    d.reject();
                });
            QCOMPARE(ui.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Open")), QString());
            QCOMPARE(shown, QString::fromLatin1(dialogClass));
        }
    }

    // The system's dialog asks the studio's overwrite question, adds the pattern's extension to
    // a new name and opens existing files only.
    void systemDialogAnswersAsTheStudiosOwn()
    {
        const QString question =
            QStringLiteral("This file already exists.  Are you sure you want to overwrite it?");
        const auto yes = BoxAnswerer::click(QMessageBox::Yes);
        const auto no = BoxAnswerer::click(QMessageBox::No);
        const BoxAnswerer::Press none;
        const struct
        {
            const char* caption;
            const char* pattern;
            const char* files;
            const char* typed;
            BoxAnswerer::Press answer;
            const char* result;
        } rows[] = {
            {"Save as", "*.wav", "take.wav", "take.wav", no, ""},
            {"Save as", "*.wav", "take.wav", "take.wav", yes, "take.wav"},
            {"Save as", "*.mfx", "", "chain", none, "chain.mfx"},
            {"Save as", "*.wav", "take.wav", "take", no, ""}, // the extension names an old file
            {"Open", "*.vum;*.cab", "song.vum", "song.vum", none, "song.vum"},
        };
        for (const auto& r : rows)
        {
            init();
            if (*r.files != '\0')
                QVERIFY(putFile(m_dir.filePath(QString::fromLatin1(r.files)), "x"));
            QtUiServices ui;
            BoxAnswerer user;
            user.push(typeAndEnter(QString::fromLatin1(r.typed)));
            if (r.answer)
                user.push(r.answer);
            const QString result =
                ui.browseForFile(QString::fromLatin1(r.pattern), QString::fromLatin1(r.caption));
            const QString expected =
                *r.result == '\0' ? QString() : m_dir.filePath(QString::fromLatin1(r.result));
            QCOMPARE(result, expected);
            QStringList seen{QString::fromLatin1(r.caption)};
            if (r.answer)
                seen << question;
            QCOMPARE(user.seen, seen);
            QVERIFY(user.allPressed());
        }
    }

    // The dialog's pattern takes a name whatever its case, also in a system dialog that matches
    // with regard to case (GTK's on Linux).
    void systemDialogTakesThePatternWhateverTheCase()
    {
        QtUiServices ui;
        BoxAnswerer user;
        QString filter;
        user.push(
            [&](QDialog& d)
            {
                filter = static_cast<QFileDialog&>(d).nameFilters().value(0);
                d.reject();
            });
        QCOMPARE(ui.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Open")), QString());
        const QString patterns = filter.section(u'(', 1).chopped(1);
        for (const auto& [name, taken] :
             {std::pair{"TAKE.WAV", true}, {"take2.wav", true}, {"notes.txt", false}})
        {
            bool matched = false;
            for (const QString& p : patterns.split(u' ', Qt::SkipEmptyParts))
                matched |= QRegularExpression(QRegularExpression::wildcardToRegularExpression(p))
                               .match(QString::fromLatin1(name))
                               .hasMatch();
            QVERIFY2(matched == taken, name);
        }
    }
};

QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
