// FrmChain: the cabinet chain's progress window.
#include "dialogs/FrmChain.h"

#include "services/UiServices.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vumo
{

FrmChain::FrmChain(UiServices& ui, QWidget* parent) : QDialog(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("FrmChain"));
    setWindowTitle(QStringLiteral("Vumo Cabinet"));
    auto* layout = new QVBoxLayout(this);
    m_lblStep = new QLabel(QStringLiteral("Starting ..."), this);
    m_lblStep->setObjectName(QStringLiteral("lblStep"));
    m_lblFile = new QLabel(this);
    m_lblFile->setObjectName(QStringLiteral("lblFile"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgChain"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("txtLog"));
    m_log->setReadOnly(true);
    m_cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_cmdClose->setEnabled(false);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    for (QWidget* w : {static_cast<QWidget*>(m_lblStep), static_cast<QWidget*>(m_lblFile),
                       static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_log),
                       static_cast<QWidget*>(m_cmdClose)})
        layout->addWidget(w);
    resize(460, 260);

    connect(&m_process, &QProcess::readyReadStandardOutput, this, &FrmChain::readEvents);
    connect(&m_process, &QProcess::finished, this, &FrmChain::ended);
    // A runner that cannot be started never finishes: its failure ends the chain instead.
    connect(&m_process, &QProcess::errorOccurred, this,
            [this](QProcess::ProcessError error)
            {
                if (error != QProcess::FailedToStart || m_ended)
                    return;
                m_failure = QStringLiteral("The cabinet chain runner could not be started: ") +
                            m_process.errorString();
                finish();
            });
}

QString FrmChain::runnerPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vumo-chain"));
}

void FrmChain::start(const QString& folder)
{
    m_succeeded = false;
    m_ended = false;
    m_failure.clear();
    m_projectPath.clear();
    m_relocations.clear();
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // The runner reads the batch file itself; nothing of it reaches a shell.
    m_process.start(m_runner, {folder, QStringLiteral("vumocab.bat")});
}

void FrmChain::waitUntilEnded()
{
    QEventLoop loop;
    connect(this, &FrmChain::chainEnded, &loop, &QEventLoop::quit);
    if (!m_ended)
        loop.exec();
}

void FrmChain::readEvents()
{
    m_pending += m_process.readAllStandardOutput();
    for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0;)
    {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        handleLine(line);
    }
}

void FrmChain::handleLine(const QByteArray& line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArray word = space < 0 ? line : line.left(space);
    const QByteArray rest = space < 0 ? QByteArray() : line.mid(space + 1);
    const QString text = QString::fromLocal8Bit(rest);
    if (word == "progress")
    {
        const QList<QByteArray> parts = rest.split(' ');
        const int done = parts.value(0).toInt();
        const int total = qMax(1, parts.value(1).toInt());
        m_progress->setRange(0, total);
        m_progress->setValue(qMin(done, total));
        m_lblStep->setText(QStringLiteral("Step %1 of %2").arg(qMin(done + 1, total)).arg(total));
        m_lblFile->setText(
            QString::fromLocal8Bit(rest.mid(parts.value(0).size() + parts.value(1).size() + 2)));
    }
    else if (word == "echo")
    {
        m_log->appendPlainText(text);
    }
    else if (word == "ask")
    {
        m_askCount = rest.toInt();
        m_asked.clear();
    }
    else if (word == "file" && m_askCount > 0)
    {
        m_asked << text;
        if (m_asked.size() == m_askCount)
        {
            const Answer a = m_ui.ask(
                QStringLiteral("The cabinet would replace %1 track file(s) that exist here:\n%2\n\n"
                               "Replace them? No restores them beside the project instead.")
                    .arg(m_asked.size())
                    .arg(m_asked.join(QLatin1Char('\n'))));
            m_process.write(a == Answer::Yes ? "yes\n" : "no\n");
            m_askCount = 0;
        }
    }
    else if (word == "relocated")
    {
        const qsizetype tab = rest.indexOf('\t');
        m_relocations.append({rest.left(tab), rest.mid(tab + 1)});
        m_log->appendPlainText(QStringLiteral("Restored beside the project: ") +
                               QString::fromLocal8Bit(rest.mid(tab + 1)));
    }
    else if (word == "opened")
    {
        m_projectPath = QFile::decodeName(rest);
    }
    else if (word == "failed")
    {
        m_failure = text;
    }
    else if (word == "done")
    {
        m_succeeded = true;
    }
}

void FrmChain::ended(int exitCode, QProcess::ExitStatus status)
{
    readEvents();
    if (m_failure.isEmpty() && (exitCode != 0 || status != QProcess::NormalExit))
        m_failure = status == QProcess::NormalExit
                        ? QStringLiteral("The cabinet chain runner stopped with exit status %1 "
                                         "and no reason.")
                              .arg(exitCode)
                        : QStringLiteral("The cabinet chain runner crashed.");
    finish();
}

void FrmChain::finish()
{
    m_ended = true;
    m_succeeded = m_succeeded && m_failure.isEmpty();
    m_lblStep->setText(m_succeeded ? QStringLiteral("Done.") : QStringLiteral("Failed."));
    m_lblFile->setText(m_succeeded ? QString() : m_failure);
    if (m_succeeded)
        m_progress->setValue(m_progress->maximum());
    m_cmdClose->setEnabled(true);
    emit chainEnded(m_succeeded);
}

void FrmChain::closeEvent(QCloseEvent* event)
{
    // The chain is not stopped halfway: the window stays until it has ended.
    if (running())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace vumo
