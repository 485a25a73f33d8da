// HelpWindow: the help page in a QTextBrowser.
#include "help/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
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

} // namespace vumo::help
