// ScriptedUiServices: answers from queues and records everything shown (for tests).
#pragma once

#include "services/UiServices.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

namespace vumo
{

struct Shown
{
    enum class Kind
    {
        Message,
        Question,
        Input,
        FileChoice,
        Url,
        Program,
        Dialog
    };
    Kind kind;
    QString title;
    QString text; // message, question or prompt; pattern for a file choice; url; path
    MsgIcon icon = MsgIcon::None;
    QString detail;                     // caption of a file choice, buttons of a question
    Answer defaultButton = Answer::Yes; // of a question
};

class ScriptedUiServices : public UiServices
{
public:
    // Queues consumed front first; an empty queue answers No, an empty text or empty path.
    std::deque<Answer> answers;
    std::deque<QString> inputs;
    std::deque<QString> files;
    bool urlsOpen = true;      // result of openUrl
    bool programsStart = true; // result of startProgram
    // True: a queued file name is taken as typed into the real file dialog, whose own checks
    // (checkBrowseResult: OPEN drops a name of no file, SAVE asks before overwriting) apply.
    bool checkFileChoices = false;
    // What the user does in each modal dialog, in order; a dialog with no script left, or
    // still open after its script, is rejected (Cancel).
    std::deque<std::function<void(QDialog&)>> dialogs;
    // When set, questions are put to these services (the real message boxes) instead of being
    // answered from the queue; they are recorded all the same.
    UiServices* realQuestions = nullptr;

    QList<Shown> shown;

    void showMessage(const QString& text, const QString& title, MsgIcon icon) override;
    Answer askQuestion(const QString& text, const QString& title, Buttons buttons, MsgIcon icon,
                       Answer defaultButton = Answer::Yes) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString browseForFile(const QString& pattern, const QString& caption) override;
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
    int runDialog(QDialog& dialog) override;

    // The texts of everything of one kind, in order.
    QStringList texts(Shown::Kind kind) const;
    QStringList messages() const { return texts(Shown::Kind::Message); }
    QStringList questions() const { return texts(Shown::Kind::Question); }
};

} // namespace vumo
