// BoxAnswerer: answers the real message boxes, input boxes and file dialogs as a user would, one
// press per box in the order they come up: a button clicked, or a key (Escape, Enter) typed where
// the focus is.
#pragma once

#include "services/UiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace vumo::test
{

class BoxAnswerer : public QObject
{
public:
    using Press = std::function<void(QDialog&)>;

    BoxAnswerer()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::poll);
        m_timer.start();
    }

    // The next box that comes up gets press.
    void push(Press press) { m_presses.push_back(std::move(press)); }
    bool allPressed() const { return m_presses.empty(); }
    // What the boxes pressed so far said (their text, an input box's label, a dialog's caption).
    QStringList seen;

    static Press click(QMessageBox::StandardButton button)
    {
        return [button](QDialog& d) { static_cast<QMessageBox&>(d).button(button)->click(); };
    }
    // The button of a question that gives the answer.
    static QMessageBox::StandardButton button(Answer answer)
    {
        return answer == Answer::Yes  ? QMessageBox::Yes
               : answer == Answer::No ? QMessageBox::No
                                      : QMessageBox::Cancel;
    }
    static Press key(Qt::Key key)
    {
        return [key](QDialog& d)
        {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr && d.isAncestorOf(focus) ? focus : &d, key);
        };
    }
    // Types text into an input box, then presses.
    static Press type(const QString& text, Press then)
    {
        return [text, then](QDialog& d)
        {
            static_cast<QInputDialog&>(d).setTextValue(text);
            then(d);
        };
    }

private:
    void poll()
    {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box == m_last || m_presses.empty())
            return;
        m_last = box;
        auto* message = qobject_cast<QMessageBox*>(box);
        auto* input = qobject_cast<QInputDialog*>(box);
        seen << (message ? message->text() : input ? input->labelText() : box->windowTitle());
        const Press press = std::move(m_presses.front());
        m_presses.pop_front();
        press(*box);
    }

    QTimer m_timer;
    QPointer<QDialog> m_last;
    std::deque<Press> m_presses;
};

} // namespace vumo::test
