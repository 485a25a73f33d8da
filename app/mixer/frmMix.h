// frmMix: the mixer window, one row per track with its title, volume bar, pan bar and mute box.
// It edits a copy of the rows it is given; the caller writes them back after Apply.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>

#include <optional>

class QCheckBox;
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
    QList<QCheckBox*> m_mute;
    bool m_applied = false;
};

// The Master command's window: shows frmMix modally through ui and returns the edited rows when
// it was closed by Apply, nothing when by Cancel or the window's close button.
std::optional<QList<MixRow>> runMixer(UiServices& ui, const QList<MixRow>& rows,
                                      QWidget* parent = nullptr);

} // namespace vumo::mixer
