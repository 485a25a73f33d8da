// BrowseForFile: the application's file dialogs (the studio's own browser and the system's)
// and the checks made on their answer.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace vumo
{

class UiServices;

// Shows FrmBrowse with the pattern (such as "*.wav" or "*.vum;*.cab") and the caption, and
// returns the chosen full path, or an empty text.
QString BrowseForFile(UiServices& ui, const QString& pattern, const QString& caption,
                      QWidget* parent = nullptr);

// The system's file dialog (QFileDialog) for the same call: the caption as its title, the pattern
// and "*.*" as its file types, an existing file for "Open", a new or replaced one for "Save",
// starting in folder; the answer gets the same checks as the studio's own browser, so a "Save"
// onto an existing file asks the same question. folder becomes the chosen file's folder.
QString BrowseSystem(UiServices& ui, const QString& pattern, const QString& caption,
                     QString& folder, QWidget* parent = nullptr);

// Sets up dialog for BrowseSystem.
void prepareFileDialog(QFileDialog& dialog, const QString& pattern, const QString& caption,
                       const QString& folder);

// The file types of the system's dialog: pattern, then "*.*" (every file), each shown as
// written and matching names whatever their case ("*.wav" takes "TAKE.WAV" too).
QStringList fileDialogFilters(const QString& pattern);

// The checks made on the dialog's answer, by the first four letters of the caption:
// "OPEN" empties a name of no existing file (saying so when it was typed); "SAVE" appends the
// pattern's extension to a new name without one and asks before overwriting (also a file
// that has that name only with the extension); other captions take the name as it is.
QString checkBrowseResult(UiServices& ui, const QString& caption, const QString& pattern,
                          const QString& fileName);

// The extension SAVE appends: the first pattern's text after its first character ("*.sfx"
// gives ".sfx", "*.vum;*.wav" gives ".vum"); empty when it holds a wildcard.
QString patternExtension(const QString& pattern);

} // namespace vumo
