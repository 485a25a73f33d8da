// QtUiServices: the message boxes, file dialogs, help page and program starts users see.
#pragma once

#include "services/UiServices.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace vumo
{

class QtUiServices : public UiServices
{
public:
    explicit QtUiServices(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }
    // Files are chosen in the studio's own browser while ownBrowser() is true, else in the
    // system's file dialog (the choice is read at every file choice; by default the system's).
    void setFileBrowserChoice(std::function<bool()> ownBrowser)
    {
        m_ownBrowser = std::move(ownBrowser);
    }

    void showMessage(const QString& text, const QString& title, MsgIcon icon) override;
    Answer askQuestion(const QString& text, const QString& title, Buttons buttons, MsgIcon icon,
                       Answer defaultButton = Answer::Yes) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString browseForFile(const QString& pattern, const QString& caption) override;
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
    int runDialog(QDialog& dialog) override;

private:
    QPointer<QWidget> m_owner;
    std::function<bool()> m_ownBrowser;
    QString m_folder; // where the system's file dialog opens: the last folder chosen from
};

} // namespace vumo
