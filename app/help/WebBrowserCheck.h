// WebBrowserCheck: whether a web browser is set up to open pages, asked of the desktop without
// waiting for its answer.
#pragma once

#include <QObject>
#include <QProcess>

namespace vumo::help
{

// On Linux and the other free systems a browser is set up when the desktop's opener (xdg-open)
// is there and either names an HTML handler (xdg-mime's answer, which comes as a signal) or
// finds a browser it falls back to; elsewhere always. The question is asked on construction.
class WebBrowserCheck : public QObject
{
    Q_OBJECT

public:
    explicit WebBrowserCheck(QObject* parent = nullptr);
    ~WebBrowserCheck() override;

    // Whether pages can be opened in a browser now. Until the desktop has answered, only a
    // browser the opener falls back to counts.
    bool configured() const;
    bool hasAnswered() const { return m_answered; }

signals:
    // The desktop has answered (or could not be asked).
    void answered();

private:
    void queryEnded();

    QProcess* m_query = new QProcess(this);
    bool m_answered = false;
    bool m_handler = false; // the desktop names an HTML handler
};

} // namespace vumo::help
