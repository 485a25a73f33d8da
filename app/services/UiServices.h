// UiServices: every message box, question, input box, file choice, help page and outside
// program of the studio passes through here, so commands can be scripted in tests.
#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>

class QDialog;

namespace vumo
{

inline const QString kAppTitle = QStringLiteral("Vumo");

enum class Answer
{
    Yes,
    No,
    Cancel
};

enum class MsgIcon
{
    None,
    Information,
    Question,
    Exclamation,
    Critical
};

enum class Buttons
{
    YesNo,
    YesNoCancel
};

class UiServices
{
public:
    virtual ~UiServices() = default;

    // A message box with an OK button.
    virtual void showMessage(const QString& text, const QString& title, MsgIcon icon) = 0;
    // A Yes/No or Yes/No/Cancel question; Enter answers defaultButton.
    virtual Answer askQuestion(const QString& text, const QString& title, Buttons buttons,
                               MsgIcon icon, Answer defaultButton = Answer::Yes) = 0;
    // An input box; returns the typed text, or an empty text when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The application's file dialog (BrowseForFile): a full path, or empty.
    virtual QString browseForFile(const QString& pattern, const QString& caption) = 0;
    // Opens a document (the help page) in the user's web browser; false when it cannot.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts an outside program without waiting for it; false when it cannot be started.
    virtual bool startProgram(const QString& path) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog& dialog) = 0;

    // Shorthands with the application title.
    void message(const QString& text, MsgIcon icon = MsgIcon::None)
    {
        showMessage(text, kAppTitle, icon);
    }
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo,
               Answer defaultButton = Answer::Yes)
    {
        return askQuestion(text, kAppTitle, buttons, MsgIcon::Question, defaultButton);
    }
};

// The reason for an engine result in plain words (the loader's refusals 10 to 16, an engine
// that could not be reached); empty for the others.
QString engineReason(int32_t rc);

// Shows "Error in " + exportName + ": " + rc when rc is not 0, with the reason on the next
// line when there is one. Returns rc == 0.
bool checkEngine(UiServices& ui, const char* exportName, int32_t rc);

} // namespace vumo
