// ImportProgressDialog: the worker thread, the dialog and the two waits on the worker's end.
#include "commands/ImportProgressDialog.h"

#include "services/UiServices.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace vumo
{
namespace
{

constexpr int kProgressSteps = 1000;
constexpr int kShowProgressAfterMs = 400;

} // namespace

ImportProgressDialog::ImportProgressDialog(QWidget* parent, const QString& label)
    : m_dialog(label, QStringLiteral("Cancel"), 0, kProgressSteps, parent),
      m_bar(new QProgressBar(&m_dialog))
{
    m_dialog.setObjectName(QStringLiteral("dlgImportProgress"));
    m_dialog.setWindowTitle(kAppTitle);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(kShowProgressAfterMs);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setBar(m_bar); // the dialog's setValue() would handle events itself when modal
    m_bar->setRange(0, kProgressSteps);
    m_bar->setValue(0);
}

bool ImportProgressDialog::show(int64_t done, int64_t total)
{
    if (total > 0)
        m_bar->setValue(int(std::min<int64_t>(kProgressSteps - 1, done * kProgressSteps / total)));
    else if (m_bar->maximum() != 0)
        m_bar->setRange(0, 0); // a length the file does not state: a busy bar
    return !m_dialog.wasCanceled();
}

tracks::ImportResult ImportProgressDialog::run(const Work& work)
{
    tracks::ImportResult result;
    // The worker waits for each report to be shown, so a cancel is seen at the next piece.
    const tracks::ImportProgress report = [this](int64_t done, int64_t total)
    {
        bool goOn = false;
        QMetaObject::invokeMethod(
            &m_dialog, [&] { goOn = show(done, total); }, Qt::BlockingQueuedConnection);
        return goOn;
    };
    const std::unique_ptr<QThread> worker(
        QThread::create([&result, &work, &report] { result = work(report); }));
    QEventLoop loop;
    bool ended = false;
    QObject::connect(worker.get(), &QThread::finished, &loop,
                     [&]
                     {
                         ended = true;
                         loop.quit();
                     });
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    showTimer.start(kShowProgressAfterMs);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents); // the dialog is not up yet
    if (!ended)
    {
        m_dialog.show();
        loop.exec();
    }
    worker->wait(); // it has ended: this only joins the thread
    return result;
}

} // namespace vumo
