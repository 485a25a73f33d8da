// FrmMessage: the progress window shown around every long operation.
#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>

namespace Ui
{
class FrmMessage;
}

namespace vumo
{

// Protocol: setMessage(text), Init(), do the work, hide().
class FrmMessage : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTickMs = 50;
    static constexpr int32_t kTicksToWait = 5;

    explicit FrmMessage(QWidget* parent = nullptr);
    ~FrmMessage() override;

    void setMessage(const QString& text);
    QString message() const;
    // Shows the window without making it modal and processes window events until Timer1 has
    // ticked five times, so the window is painted before the work starts.
    void Init();

    const QTimer& timer() const { return m_timer; }
    // Nanoseconds spent in Init's paint waits so far, by all message windows (for timings).
    static qint64 waitedNs() { return s_waitedNs; }

private:
    std::unique_ptr<Ui::FrmMessage> ui;
    QTimer m_timer; // Timer1: enabled only inside Init
    int32_t m_ticks = 0;
    static inline qint64 s_waitedNs = 0;
};

} // namespace vumo
