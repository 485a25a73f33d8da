// WebBrowserCheck: xdg-mime asked in the background, the browsers xdg-open falls back to.
#include "help/WebBrowserCheck.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace vumo::help
{
namespace
{

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS) && !defined(Q_OS_ANDROID)
constexpr bool kAskDesktop = true;
#else
constexpr bool kAskDesktop = false;
#endif

bool hasOpener()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
}

} // namespace

WebBrowserCheck::WebBrowserCheck(QObject* parent) : QObject(parent)
{
    connect(m_query, &QProcess::finished, this, &WebBrowserCheck::queryEnded);
    connect(m_query, &QProcess::errorOccurred, this,
            [this](QProcess::ProcessError error)
            {
                if (error == QProcess::FailedToStart)
                    queryEnded();
            });
    if (!kAskDesktop || !hasOpener())
    {
        m_answered = true;
        return;
    }
    // Qt opens pages through xdg-open, which finds the HTML handler the desktop names.
    m_query->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                QStringLiteral("text/html")});
}

WebBrowserCheck::~WebBrowserCheck()
{
    if (m_query->state() == QProcess::NotRunning)
        return;
    // A question still running is killed and left to be reaped when it has ended, by the
    // application (which deletes it at the latest when it ends itself); nobody waits for it.
    m_query->disconnect(this);
    m_query->setParent(QCoreApplication::instance());
    connect(m_query, &QProcess::finished, m_query, &QObject::deleteLater);
    m_query->kill();
}

bool WebBrowserCheck::configured() const
{
    if (!kAskDesktop)
        return true;
    if (!hasOpener())
        return false;
    if (m_handler)
        return true;
    for (const char* name : {"x-www-browser", "firefox", "firefox-esr", "chromium",
                             "chromium-browser", "google-chrome", "epiphany", "konqueror"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            return true;
    return false;
}

void WebBrowserCheck::queryEnded()
{
    if (m_answered)
        return;
    m_handler = m_query->exitStatus() == QProcess::NormalExit && m_query->exitCode() == 0 &&
                !m_query->readAllStandardOutput().trimmed().isEmpty();
    m_answered = true;
    emit answered();
}

} // namespace vumo::help
