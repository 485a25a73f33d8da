// HelpWindow: the help page in a QTextBrowser, and the check for a web browser.
#include "help/HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vumo::help
{

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vumo Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    // Links within the page and to its local pages stay here; others go to the system.
    m_browser->setOpenExternalLinks(true);

    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    back->setObjectName(QStringLiteral("cmdBack"));
    back->setEnabled(false);
    auto* top = new QPushButton(QStringLiteral("C&ontents"), this);
    top->setObjectName(QStringLiteral("cmdContents"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(top, &QPushButton::clicked, this, &HelpWindow::contents);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(top);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);
    resize(720, 640);
}

bool HelpWindow::showPage(const QUrl& url)
{
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile() ||
        !QFileInfo(url.toLocalFile()).isReadable())
        return false;
    m_page = url.adjusted(QUrl::RemoveFragment);
    // Shown first, so that the anchor is scrolled to in the laid-out page.
    show();
    raise();
    activateWindow();
    m_browser->setSource(url, QTextDocument::HtmlResource);
    if (url.hasFragment())
        m_browser->scrollToAnchor(url.fragment());
    return true;
}

void HelpWindow::contents()
{
    m_browser->setSource(m_page, QTextDocument::HtmlResource);
    m_browser->scrollToAnchor(QString());
}

bool webBrowserConfigured()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS) && !defined(Q_OS_ANDROID)
    // Qt opens pages through xdg-open, which finds the HTML handler the desktop names, or else
    // falls back to a browser of these names.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (query.waitForFinished(3000) && !query.readAllStandardOutput().trimmed().isEmpty())
        return true;
    for (const char* name : {"x-www-browser", "firefox", "firefox-esr", "chromium",
                             "chromium-browser", "google-chrome", "epiphany", "konqueror"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            return true;
    return false;
#else
    return true;
#endif
}

bool openInWebBrowser(const QUrl& url)
{
    return webBrowserConfigured() && QDesktopServices::openUrl(url);
}

} // namespace vumo::help
