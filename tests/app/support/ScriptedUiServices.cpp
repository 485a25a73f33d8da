// ScriptedUiServices: answers from queues and records everything shown.
#include "support/ScriptedUiServices.h"

#include "dialogs/Browse.h"

#include <QDialog>

namespace vumo
{

namespace
{

// The front of a queue, taken off it; `none` when the queue is empty.
template <typename T> T take(std::deque<T>& queue, T none)
{
    if (queue.empty())
        return none;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

void ScriptedUiServices::showMessage(const QString& text, const QString& title, MsgIcon icon)
{
    shown.append({Shown::Kind::Message, title, text, icon, {}});
}

Answer ScriptedUiServices::askQuestion(const QString& text, const QString& title, Buttons buttons,
                                       MsgIcon icon, Answer defaultButton)
{
    shown.append(
        {Shown::Kind::Question, title, text, icon,
         buttons == Buttons::YesNo ? QStringLiteral("YesNo") : QStringLiteral("YesNoCancel"),
         defaultButton});
    if (realQuestions != nullptr)
        return realQuestions->askQuestion(text, title, buttons, icon, defaultButton);
    return take(answers, Answer::No);
}

QString ScriptedUiServices::inputBox(const QString& prompt, const QString& title,
                                     const QString& defaultText)
{
    shown.append({Shown::Kind::Input, title, prompt, MsgIcon::None, defaultText});
    return take(inputs, QString());
}

QString ScriptedUiServices::browseForFile(const QString& pattern, const QString& caption)
{
    shown.append({Shown::Kind::FileChoice, caption, pattern, MsgIcon::None, caption});
    const QString typed = take(files, QString());
    return checkFileChoices ? checkBrowseResult(*this, caption, pattern, typed) : typed;
}

bool ScriptedUiServices::openUrl(const QUrl& url)
{
    shown.append({Shown::Kind::Url, {}, url.toString(), MsgIcon::None, {}});
    return urlsOpen;
}

bool ScriptedUiServices::startProgram(const QString& path)
{
    shown.append({Shown::Kind::Program, {}, path, MsgIcon::None, {}});
    return programsStart;
}

QStringList ScriptedUiServices::texts(Shown::Kind kind) const
{
    QStringList result;
    for (const Shown& s : shown)
        if (s.kind == kind)
            result.append(s.text);
    return result;
}

int ScriptedUiServices::runDialog(QDialog& dialog)
{
    shown.append(
        {Shown::Kind::Dialog, dialog.windowTitle(), dialog.objectName(), MsgIcon::None, {}});
    dialog.show();
    if (const auto script = take(dialogs, std::function<void(QDialog&)>()))
        script(dialog);
    // A dialog its script left open is closed the way the user's Cancel would.
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

} // namespace vumo
