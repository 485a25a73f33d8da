// The real message boxes and input box of QtUiServices, answered as a user answers them: every
// button of every kind of box, Escape, and Enter on the default button. (Its file dialogs:
// tst_filedialogs.)
#include "services/QtUiServices.h"
#include "support/BoxAnswerer.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

using namespace vumo;
using vumo::test::BoxAnswerer;

class QtUiServicesTest : public QObject
{
    Q_OBJECT

private slots:
    // (buttons, default, the user's press, the answer)
    void questionsAnswerWhatWasPressed()
    {
        const auto yes = BoxAnswerer::click(QMessageBox::Yes);
        const auto no = BoxAnswerer::click(QMessageBox::No);
        const auto cancel = BoxAnswerer::click(QMessageBox::Cancel);
        const auto escape = BoxAnswerer::key(Qt::Key_Escape),
                   enter = BoxAnswerer::key(Qt::Key_Return);
        const auto yn = Buttons::YesNo, ync = Buttons::YesNoCancel;
        for (const auto& [buttons, preset, press, answer] :
             {std::tuple{yn, Answer::Yes, yes, Answer::Yes},
              {yn, Answer::Yes, no, Answer::No},
              {yn, Answer::Yes, escape, Answer::No},
              {yn, Answer::Yes, enter, Answer::Yes},
              {yn, Answer::No, enter, Answer::No},
              {ync, Answer::Yes, no, Answer::No},
              {ync, Answer::Yes, cancel, Answer::Cancel},
              {ync, Answer::Yes, escape, Answer::Cancel},
              {ync, Answer::No, enter, Answer::No},
              {ync, Answer::Cancel, enter, Answer::Cancel}})
        {
            QtUiServices ui;
            BoxAnswerer user;
            QMessageBox::StandardButtons offered;
            QMessageBox::StandardButton shownDefault = QMessageBox::NoButton;
            user.push( // the press, once the buttons offered and the default are written down
                [&, press = press](QDialog& d)
                {
                    auto& box = static_cast<QMessageBox&>(d);
                    offered = box.standardButtons();
                    shownDefault = box.standardButton(box.defaultButton());
                    press(d);
                });
            QCOMPARE(ui.askQuestion("Go on?", "Vumo", buttons, MsgIcon::Question, preset), answer);
            QCOMPARE(user.seen, QStringList{"Go on?"});
            QCOMPARE(offered, QMessageBox::Yes | QMessageBox::No |
                                  (buttons == yn ? QMessageBox::NoButton : QMessageBox::Cancel));
            QCOMPARE(shownDefault, BoxAnswerer::button(preset));
        }
    }

    // A message closes with OK, Escape or Enter; the input box gives the typed text on OK (or
    // Enter) and nothing on Cancel or Escape.
    void messagesAndTheInputBoxClose()
    {
        QtUiServices ui;
        BoxAnswerer user;
        for (const auto& press :
             {BoxAnswerer::click(QMessageBox::Ok), BoxAnswerer::key(Qt::Key_Escape),
              BoxAnswerer::key(Qt::Key_Return)})
        {
            user.push(press);
            ui.showMessage("Done.", "Vumo", MsgIcon::Information);
        }
        QCOMPARE(user.seen, QStringList(3, "Done."));
        const auto box = [](QDialogButtonBox::StandardButton b) -> BoxAnswerer::Press
        { return [b](QDialog& d) { d.findChild<QDialogButtonBox*>()->button(b)->click(); }; };
        for (const auto& [press, result] : {std::pair{box(QDialogButtonBox::Ok), "7"},
                                            {BoxAnswerer::key(Qt::Key_Return), "7"},
                                            {box(QDialogButtonBox::Cancel), ""},
                                            {BoxAnswerer::key(Qt::Key_Escape), ""}})
        {
            user.push(BoxAnswerer::type("7", press));
            QCOMPARE(ui.inputBox("Track number?", "Vumo", "1"), QString::fromLatin1(result));
        }
        QVERIFY(user.allPressed());
    }
};

QTEST_MAIN(QtUiServicesTest)
#include "QtUiServicesTest.moc"
