// FrmMessage: the progress window, painted before the work it announces.
#include "dialogs/FrmMessage.h"

#include "ui_FrmMessage.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

namespace vumo
{

FrmMessage::FrmMessage(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::FrmMessage>())
{
    ui->setupUi(this);
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
    // A window just shown is on screen (mapped) once the window system has exposed it; until
    // then a paint would be dropped.
    if (!testAttribute(Qt::WA_Mapped) && windowHandle() != nullptr)
        waitUntilExposed();
    repaint();
}

void FrmMessage::waitUntilExposed()
{
    // User input waits until the work is done: no command can start inside this loop.
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_waiting = &loop;
    windowHandle()->installEventFilter(this);
    guard.start(kShowGuardMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    windowHandle()->removeEventFilter(this);
    m_waiting = nullptr;
}

bool FrmMessage::eventFilter(QObject* watched, QEvent* event)
{
    if (m_waiting != nullptr && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed())
        m_waiting->quit();
    return QDialog::eventFilter(watched, event);
}

} // namespace vumo
