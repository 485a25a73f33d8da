// FrmChain: the window in which a cabinet's command chain runs. It starts Vumo's chain runner
// (vumo-chain, beside the studio) on "vumocab.bat" in the application folder and shows the
// steps done, the file being worked on and the chain's own "echo" lines; when the chain would
// replace existing track files it asks once, through the UI services; at the end it says
// whether the chain succeeded or what failed. The chain has ended when its runner has exited,
// whatever its working files show.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QPair>
#include <QProcess>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vumo
{

class UiServices;

class FrmChain : public QDialog
{
    Q_OBJECT

public:
    FrmChain(UiServices& ui, QWidget* parent = nullptr);

    // Starts the chain in folder and returns at once; its end, or a runner that cannot be
    // started, is chainEnded (the reason in failure()).
    void start(const QString& folder);
    // Runs an event loop until the runner has exited (chainEnded), without spinning.
    void waitUntilEnded();

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    bool succeeded() const { return m_succeeded; }
    QString failure() const { return m_failure; }
    // Tracks restored beside the project: stored path, restored path.
    const QList<QPair<QByteArray, QByteArray>>& relocations() const { return m_relocations; }
    // The project an opening chain left in the application folder; empty when none.
    QString projectPath() const { return m_projectPath; }

    // The runner program: vumo-chain in the studio's folder, unless set otherwise.
    static QString runnerPath();
    void setRunner(const QString& program) { m_runner = program; }

signals:
    void chainEnded(bool succeeded);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void readEvents();
    void handleLine(const QByteArray& line);
    void ended(int exitCode, QProcess::ExitStatus status);
    void finish();

    UiServices& m_ui;
    QProcess m_process;
    QByteArray m_pending; // output not yet ended by a newline
    QStringList m_asked;  // files of a pending "ask"
    int m_askCount = 0;
    QString m_runner = runnerPath();
    bool m_succeeded = false;
    bool m_ended = false;
    QString m_failure;
    QString m_projectPath;
    QList<QPair<QByteArray, QByteArray>> m_relocations;
    QLabel* m_lblStep = nullptr;
    QLabel* m_lblFile = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QPushButton* m_cmdClose = nullptr;
};

} // namespace vumo
