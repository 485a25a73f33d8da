// FrmMessage: the progress window shown around every long operation.
#pragma once

#include <QDialog>

#include <memory>

class QEventLoop;

namespace Ui
{
class FrmMessage;
}

namespace vumo
{

// Protocol: setMessage(text), Init(), do the work, hide(). The window is painted before the work
// starts, with no fixed wait: a window on screen is repainted at once, one just shown is waited
// for until the window system has put it on screen.
class FrmMessage : public QDialog
{
    Q_OBJECT

public:
    // The longest wait for the window system to put a shown window on screen; the wait ends as
    // soon as it does, and this bound only matters when it never does (a minimized studio).
    static constexpr int kShowGuardMs = 500;

    explicit FrmMessage(QWidget* parent = nullptr);
    ~FrmMessage() override;

    void setMessage(const QString& text);
    QString message() const;
    // Shows the window without making it modal and paints it with its message at once (one
    // synchronous paint). A window not yet on screen is first waited for in one event loop that
    // takes no user input and ends when the window system exposes it.
    void Init();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void waitUntilExposed();

    std::unique_ptr<Ui::FrmMessage> ui;
    QEventLoop* m_waiting = nullptr; // while waitUntilExposed runs
};

} // namespace vumo
