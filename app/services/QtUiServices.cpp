// QtUiServices: QMessageBox, QInputDialog, QFileDialog or the FrmBrowse dialog, the web browser
// or the help window, QProcess.
#include "services/QtUiServices.h"

#include "dialogs/Browse.h"
#include "help/HelpWindow.h"
#include "help/WebBrowserCheck.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>

namespace vumo
{
namespace
{

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon)
    {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtUiServices::showMessage(const QString& text, const QString& title, MsgIcon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, m_owner);
    box.exec();
}

Answer QtUiServices::askQuestion(const QString& text, const QString& title, Buttons buttons,
                                 MsgIcon icon, Answer defaultButton)
{
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel)
        set |= QMessageBox::Cancel;
    QMessageBox box(boxIcon(icon), title, text, set, m_owner);
    box.setDefaultButton(defaultButton == Answer::No       ? QMessageBox::No
                         : defaultButton == Answer::Cancel ? QMessageBox::Cancel
                                                           : QMessageBox::Yes);
    // Escape (and the window's close button) answers No to a Yes/No question and Cancel to a
    // Yes/No/Cancel one.
    const bool cancellable = buttons == Buttons::YesNoCancel;
    box.setEscapeButton(cancellable ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return cancellable ? Answer::Cancel : Answer::No;
    }
}

QString QtUiServices::inputBox(const QString& prompt, const QString& title,
                               const QString& defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_owner, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtUiServices::browseForFile(const QString& pattern, const QString& caption)
{
    if (m_ownBrowser && m_ownBrowser())
        return BrowseForFile(*this, pattern, caption, m_owner);
    // Like the own browser, the system's dialog first opens in the current folder.
    if (m_folder.isEmpty())
        m_folder = QDir::currentPath();
    return BrowseSystem(*this, pattern, caption, m_folder, m_owner);
}

QtUiServices::QtUiServices(QWidget* owner)
    : m_owner(owner), m_browserCheck(std::make_unique<help::WebBrowserCheck>())
{
}

QtUiServices::~QtUiServices()
{
    delete m_help; // already gone with its owner window, if it had one
}

bool QtUiServices::openUrl(const QUrl& url)
{
    if (m_webBrowser ? m_webBrowser(url)
                     : m_browserCheck->configured() && QDesktopServices::openUrl(url))
        return true;
    if (!url.isLocalFile())
        return false;
    auto* window = qobject_cast<help::HelpWindow*>(m_help.data());
    if (window == nullptr)
    {
        window = new help::HelpWindow(m_owner);
        m_help = window;
    }
    return window->showPage(url);
}

bool QtUiServices::startProgram(const QString& path)
{
    return QProcess::startDetached(path, {});
}

int QtUiServices::runDialog(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace vumo
