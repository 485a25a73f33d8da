// QtUiServices: the message boxes, file dialogs, help page and program starts users see.
#pragma once

#include "services/UiServices.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace vumo::help
{
class WebBrowserCheck;
}

namespace vumo
{

class QtUiServices : public UiServices
{
public:
    // Asks the desktop in the background whether a web browser is set up.
    explicit QtUiServices(QWidget* owner = nullptr);
    void setOwner(QWidget* owner) { m_owner = owner; }
    // Files are chosen in the studio's own browser while ownBrowser() is true, else in the
    // system's file dialog (the choice is read at every file choice; by default the system's).
    void setFileBrowserChoice(std::function<bool()> ownBrowser)
    {
        m_ownBrowser = std::move(ownBrowser);
    }
    // How a page is opened in a web browser (by default the user's, when one is set up);
    // returns false when none could show it.
    void setWebBrowser(std::function<bool(const QUrl&)> open) { m_webBrowser = std::move(open); }
    ~QtUiServices() override;

    void showMessage(const QString& text, const QString& title, MsgIcon icon) override;
    Answer askQuestion(const QString& text, const QString& title, Buttons buttons, MsgIcon icon,
                       Answer defaultButton = Answer::Yes) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString browseForFile(const QString& pattern, const QString& caption) override;
    // The web browser; when none can show a local page, the studio's help window.
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
    int runDialog(QDialog& dialog) override;

private:
    QPointer<QWidget> m_owner;
    std::function<bool()> m_ownBrowser;
    QString m_folder; // where the system's file dialog opens: the last folder chosen from
    std::function<bool(const QUrl&)> m_webBrowser;
    std::unique_ptr<help::WebBrowserCheck> m_browserCheck;
    QPointer<QWidget> m_help; // the help window, once shown
};

} // namespace vumo
