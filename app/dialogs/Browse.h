// BrowseForFile: the application's file dialog and the checks made on its answer.
#pragma once

#include <QString>

class QWidget;

namespace vumo
{

class UiServices;

// Shows FrmBrowse with the pattern (such as "*.wav" or "*.vum;*.cab") and the caption, and
// returns the chosen full path, or an empty text.
QString BrowseForFile(UiServices& ui, const QString& pattern, const QString& caption,
                      QWidget* parent = nullptr);

// The checks made on the dialog's answer, by the first four letters of the caption:
// "OPEN" empties a name of no existing file (saying so when it was typed); "SAVE" asks before
// overwriting and appends the pattern's extension to a new name without one; other captions take
// the name as it is.
QString checkBrowseResult(UiServices& ui, const QString& caption, const QString& pattern,
                          const QString& fileName);

// The extension SAVE appends: the first pattern's text after its first character ("*.sfx"
// gives ".sfx", "*.vum;*.wav" gives ".vum"); empty when it holds a wildcard.
QString patternExtension(const QString& pattern);

} // namespace vumo
