// frmDrums: the drum editor window, a view over the drum data: pattern and instrument lists, the
// 32 beat bars of the selected instrument, the beat count and beat length of the pattern, the
// song, the drum file menu, cut/copy/paste, and playing the song on the MIDI output.
#pragma once

#include "drums/DrumData.h"
#include "engineapi/Transport.h"

#include <QDialog>
#include <QList>

#include <cstdint>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace vumo
{
class UiServices;
}

namespace vumo::drums
{

class DrumEngine;

class frmDrums : public QDialog
{
    Q_OBJECT

public:
    // Loads the window over drums (which outlives it): on the first opening of a run the patterns
    // take tempo as their beat length; the MIDI output is opened with a queue of midiBufLen
    // words, and a failure is shown but leaves the editor usable.
    frmDrums(DrumData& drums, DrumEngine& engine, UiServices& ui, int32_t tempo, int32_t midiBufLen,
             QWidget* parent = nullptr);
    ~frmDrums() override;

    // The selected pattern (0 ... 7) and instrument (0 ... 57), -1 when none.
    int pattern() const;
    int instrument() const;
    bool isPlaying() const { return m_playing; }

    // Stops playback and closes the MIDI output, once, whichever way the window closes.
    void done(int result) override;

public slots:
    void ShowPattern();
    void EnableBeatBars();
    void BeatsChanged();
    void MsPerBeatChanged();
    void FillInstrumentList();
    // Both say whether the file was read or written; a failure is shown to the user.
    bool LoadDrumFile();
    bool SaveDrumFile();
    void OpenDrumFile();
    void SaveDrumFileAs();
    void ImportDrumMap(const QString& fileName);
    void PlayDrums();
    void StopDrums();

    void CmdPlay_Click();
    void CmdStop_Click();
    void mnuFileNew();
    void mnuFileOpen() { OpenDrumFile(); }
    void mnuFileSave() { SaveDrumFile(); }
    void mnuFileSaveAs() { SaveDrumFileAs(); }
    void mnuFileExit();
    void mnuEditCut();
    void mnuEditCopy();
    void mnuEditPaste();
    void mnuEditCutAll();
    void mnuEditCopyAll();
    void mnuEditPasteAll();

private:
    void buildWindow();
    void buildMenus();
    QWidget* buildBeatFrame();
    void beatChanged(int beat);
    void unload();

    DrumData& m_drums;
    DrumEngine& m_engine;
    UiServices& m_ui;
    int32_t m_tempo;

    QComboBox* m_cboPattern = nullptr;
    QListWidget* m_lstInstr = nullptr;
    QList<QScrollBar*> m_vscV;
    QScrollBar* m_hscBeats = nullptr;
    QScrollBar* m_hscMsPerBeat = nullptr;
    QLabel* m_lblTempo = nullptr;
    QLineEdit* m_txtSongPat = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QPushButton* m_cmdStop = nullptr;

    bool m_playing = false;
    bool m_unloaded = false;
    // Follows the song on the MIDI output and says when it has ended.
    Transport m_song;
};

} // namespace vumo::drums
