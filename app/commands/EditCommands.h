// EditCommands: Cut, Copy, Paste, Merge, Copy To, Copy From, the four Paste From modes and Undo
// on the selection of the current track. Clips travel through the clipboard file, a wave file
// in the application folder that outlives the program. They act on the project, the engine
// session and the UI services, and reach the window only through StudioWindow.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vumo
{

class EngineBinding;
class EngineSession;
class ImportCommands;
class ProjectModel;
class StudioWindow;
class UiServices;

class EditCommands
{
public:
    // The engine's paste modes (PasteFrom's fourth argument).
    static constexpr int32_t kStraight = 0; // replace the range with the file
    static constexpr int32_t kMerged = 1;   // mix the file into the range
    static constexpr int32_t kRing = 2;     // ring-modulate the range with the file
    static constexpr int32_t kNegative = 3; // subtract the file from the range

    // clipFile: the window's CLIPFILE, read at each command (start-up sets it after the
    // commands are made).
    EditCommands(const ProjectModel& model, EngineSession& session, UiServices& ui,
                 StudioWindow& window, const QString& clipFile);

    void mnuEditCut();
    void mnuEditCopy();
    // Paste and Merge without a clipboard file do nothing and say nothing.
    void mnuEditPaste();
    void mnuEditMerge();
    // Writes the selection to a chosen wave file: a new name makes a new file (".wav" added to
    // a name without an extension); an existing file is replaced only after the file dialog's
    // question "This file already exists. ..." is answered Yes.
    void mnuEditCopyTo();
    // Fills the clipboard file from a chosen file without the engine. The copy goes to a
    // temporary file beside the clipboard and replaces it only once complete, so a failed copy
    // is reported and leaves the old clipboard as it was. Choosing the clipboard file itself
    // leaves it as it is; a wave file whose samples Vumo cannot read (24-bit, floating point)
    // is named for what it holds and, with the conversion, converted on Yes (No leaves the
    // clipboard as it was). Needs no track and no open engine.
    void mnuEditCopyFrom();
    // The common body of the four Paste From items: a chosen wave file pasted in mode.
    void PasteFromFile(int32_t mode);
    // Reverts the current track to its file after a question; No changes nothing. The revert is
    // an undo step of its own, so a revert made by mistake can be undone.
    void mnuEditUndo();

    // The conversion offered for a wave file that is not 16-bit 44100 Hz before Paste From
    // pastes it (a converted scratch copy is pasted) and Copy From copies it (converted into
    // the clipboard). Without one such files are handled as the engine takes them.
    void setConversion(ImportCommands* import) { m_import = import; }

private:
    bool canEdit();
    // The undo step of a change named label over the selection; false when it must not be made.
    bool keepSelection(const QString& label);
    // The common frame: the message window with message around the call, its result reported
    // with "Error in " + exportName while the message is still up, then the redraw. A call that
    // loads loadedFile names that file's samples when the loader refuses them.
    void engineFrame(const QString& message, const char* exportName, bool redraw,
                     const std::function<int32_t(EngineBinding&)>& call,
                     const QString& loadedFile = {});
    void pasteClipboard(int32_t mode, const QString& message);
    QString chooseWave();
    // Copy From's plain copy of name into the clipboard file.
    void copyIntoClipboard(const QString& name);

    const ProjectModel& m_model;
    EngineSession& m_session;
    UiServices& m_ui;
    StudioWindow& m_window;
    const QString& m_clipFile;
    ImportCommands* m_import = nullptr;
};

} // namespace vumo
