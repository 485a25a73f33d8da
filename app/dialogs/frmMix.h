// frmMix: the mixer window, one row per track with its title, volume bar, pan bar and mute box,
// each bar with what its value means (the gain in dB, the pan position). It edits a copy of the
// rows it is given; the caller writes them back after Apply.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>

#include <optional>

class QCheckBox;
class QLabel;
class QScrollBar;

namespace vumo
{
class UiServices;
}

namespace vumo::mixer
{

// One track's mixer values as the track table keeps them.
struct MixRow
{
    QByteArray title; // the stored title bytes; shown trimmed and decoded
    int volume = 0;   // 0 ... 255
    int pan = 128;    // 0 ... 255, 128 = centre
    int mute = 0;     // 0 or 1
};

// What a track's volume does to its louder side when it plays: the engine's gain of
// volume * 255 / 256 (truncated) in 1/256 steps, "×0.99 (−0.1 dB)" for 255.
QString volumeText(int volume);
// Where a track's pan places it, from the engine's side factors min(255, 393 - pan) (left) and
// min(255, pan + 128) (right): "centre" from 127 to 138, "L 49 %" at 0, "R 45 %" at 255 (the
// quieter side is never turned down by more than about half).
QString panText(int pan);

class frmMix : public QDialog
{
    Q_OBJECT

public:
    // One row per entry of rows (every track, the 17th included); values outside their ranges
    // are shown at the nearest end.
    explicit frmMix(const QList<MixRow>& rows, QWidget* parent = nullptr);

    // The rows with the bars' and boxes' values; titles as given.
    QList<MixRow> editedRows() const;
    // True once Apply closed the window; Cancel and the close button leave it false.
    bool applied() const { return m_applied; }

public slots:
    void cmdApply_Click();
    void cmdCancel_Click();

private:
    QList<MixRow> m_rows;
    QList<QScrollBar*> m_vol;
    QList<QScrollBar*> m_pan;
    QList<QLabel*> m_volText;
    QList<QLabel*> m_panText;
    QList<QCheckBox*> m_mute;
    bool m_applied = false;
};

// The Master command's window: shows frmMix modally through ui and returns the edited rows when
// it was closed by Apply, nothing when by Cancel or the window's close button.
std::optional<QList<MixRow>> runMixer(UiServices& ui, const QList<MixRow>& rows,
                                      QWidget* parent = nullptr);

} // namespace vumo::mixer
