// ImportProgressDialog: a decode on a worker thread, its progress in a dialog over the main window.
#pragma once

#include "tracks/TrackImport.h"

#include <QProgressDialog>

#include <functional>

class QProgressBar;

namespace vumo
{

// The progress of one decode, with Cancel: the dialog shows once the work has lasted a moment.
// The window waits for the worker's end signal; until the dialog shows, the user's clicks and
// keys wait as well, and then they reach only the dialog.
class ImportProgressDialog
{
public:
    ImportProgressDialog(QWidget* parent, const QString& label);

    // Runs work on a worker thread with a progress callback that reports into the dialog and
    // says whether to go on (false once the user cancelled); returns work's result once it has
    // ended.
    using Work = std::function<tracks::ImportResult(const tracks::ImportProgress&)>;
    tracks::ImportResult run(const Work& work);

private:
    // On the window's thread: shows done of total frames (a busy bar when total is unknown);
    // false once the dialog was cancelled.
    bool show(int64_t done, int64_t total);

    QProgressDialog m_dialog;
    QProgressBar* m_bar = nullptr; // the dialog's; set directly, so nothing spins the events
};

} // namespace vumo
