// FrmMessage: the progress window and its short paint wait.
#include "dialogs/FrmMessage.h"

#include "ui_FrmMessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace vumo
{

FrmMessage::FrmMessage(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::FrmMessage>())
{
    ui->setupUi(this);
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { ++m_ticks; });
}

FrmMessage::~FrmMessage() = default;

void FrmMessage::setMessage(const QString& text)
{
    ui->lblMessage->setText(text);
}

QString FrmMessage::message() const
{
    return ui->lblMessage->text();
}

void FrmMessage::Init()
{
    setModal(false);
    show();
    raise();
    m_ticks = 0;
    QElapsedTimer waited;
    waited.start();
    m_timer.start();
    while (m_ticks < kTicksToWait)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_timer.stop();
    s_waitedNs += waited.nsecsElapsed();
}

} // namespace vumo
