// ScriptedUiServices: answers from queues and records everything shown.
#include "support/ScriptedUiServices.h"

#include <QDialog>

namespace vumo
{

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
    if (answers.empty())
        return Answer::No;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedUiServices::inputBox(const QString& prompt, const QString& title,
                                     const QString& defaultText)
{
    shown.append({Shown::Kind::Input, title, prompt, MsgIcon::None, defaultText});
    if (inputs.empty())
        return {};
    const QString text = inputs.front();
    inputs.pop_front();
    return text;
}

QString ScriptedUiServices::browseForFile(const QString& pattern, const QString& caption)
{
    shown.append({Shown::Kind::FileChoice, caption, pattern, MsgIcon::None, caption});
    if (files.empty())
        return {};
    const QString path = files.front();
    files.pop_front();
    return path;
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
    if (!dialogs.empty())
    {
        const auto script = std::move(dialogs.front());
        dialogs.pop_front();
        script(dialog);
    }
    // A dialog its script left open is closed the way the user's Cancel would.
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

} // namespace vumo
