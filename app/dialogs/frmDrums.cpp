// frmDrums: the drum editor window. Every control shows the drum data and writes its changes
// straight into it; the window keeps no cells of its own.
#include "dialogs/frmDrums.h"

#include "drums/DrumEdit.h"
#include "drums/DrumEngine.h"
#include "drums/DrumFile.h"
#include "services/UiServices.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <limits>
#include <utility>

namespace vumo::drums
{
namespace
{

constexpr int kBeatsPerGroup = 4;

QScrollBar* bar(Qt::Orientation orientation, const QString& name, int low, int high,
                QWidget* parent)
{
    auto* b = new QScrollBar(orientation, parent);
    b->setObjectName(name);
    b->setRange(low, high);
    b->setPageStep(8);
    return b;
}

// The label of a bar with the bar beside it.
QHBoxLayout* labelled(const QString& caption, QWidget* widget, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, parent);
    label->setBuddy(widget);
    row->addWidget(label);
    row->addWidget(widget, 1);
    return row;
}

} // namespace

frmDrums::frmDrums(DrumData& drums, DrumEngine& engine, UiServices& ui, int32_t tempo,
                   int32_t midiBufLen, QWidget* parent)
    : QDialog(parent), m_drums(drums), m_engine(engine), m_ui(ui), m_tempo(tempo),
      m_song(Transport::Probe{[this] { return !m_unloaded && m_engine.MidiPlaying() == 1; },
                              [] { return 0; }})
{
    setObjectName(QStringLiteral("frmDrums"));
    setWindowTitle(QStringLiteral("Midi Drum Editor"));
    setModal(true);
    prepareDrumData(m_drums, m_tempo);
    buildWindow();
    buildMenus();

    // The song box shows the song in force, also when an earlier opening changed it.
    m_txtSongPat->setText(m_drums.songPattern);
    FillInstrumentList();
    m_cboPattern->setCurrentIndex(0);
    m_lstInstr->setCurrentRow(0);
    ShowPattern();

    const int32_t r = m_engine.OpenMidiPlay(midiBufLen);
    if (r != 0)
        m_ui.message(QStringLiteral("Error: %1 Unable to open the midimapper.").arg(r),
                     MsgIcon::Exclamation);
}

frmDrums::~frmDrums()
{
    unload();
}

void frmDrums::buildWindow()
{
    m_cboPattern = new QComboBox(this);
    m_cboPattern->setObjectName(QStringLiteral("cboPattern"));
    for (int p = 1; p <= kPatterns; ++p)
        m_cboPattern->addItem(QString::number(p));
    m_lstInstr = new QListWidget(this);
    m_lstInstr->setObjectName(QStringLiteral("lstInstr"));
    m_lstInstr->setMinimumWidth(170);
    connect(m_cboPattern, &QComboBox::currentIndexChanged, this, &frmDrums::ShowPattern);
    connect(m_lstInstr, &QListWidget::currentRowChanged, this, &frmDrums::ShowPattern);

    auto* left = new QVBoxLayout;
    left->addLayout(labelled(QStringLiteral("Pat:"), m_cboPattern, this));
    left->addWidget(m_lstInstr, 1);

    m_hscBeats = bar(Qt::Horizontal, QStringLiteral("hscBeats"), 0, kLastBeat, this);
    m_hscBeats->setValue(kLastBeat);
    m_hscMsPerBeat =
        bar(Qt::Horizontal, QStringLiteral("hscMsPerBeat"), kMinMsPerBeat, kMaxMsPerBeat, this);
    m_hscMsPerBeat->setValue(100);
    m_lblTempo = new QLabel(QStringLiteral("100"), this);
    m_lblTempo->setObjectName(QStringLiteral("lblTempo"));
    m_lblTempo->setMinimumWidth(30);
    connect(m_hscBeats, &QScrollBar::valueChanged, this, &frmDrums::BeatsChanged);
    connect(m_hscMsPerBeat, &QScrollBar::valueChanged, this, &frmDrums::MsPerBeatChanged);

    m_txtSongPat = new QLineEdit(QStringLiteral("1111"), this);
    m_txtSongPat->setObjectName(QStringLiteral("txtSongPat"));
    connect(m_txtSongPat, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_drums.songPattern = text; });

    m_cmdPlay = new QPushButton(QStringLiteral("&Play"), this);
    m_cmdPlay->setObjectName(QStringLiteral("CmdPlay"));
    m_cmdStop = new QPushButton(QStringLiteral("&Stop"), this);
    m_cmdStop->setObjectName(QStringLiteral("CmdStop"));
    m_cmdStop->setEnabled(false);
    connect(m_cmdPlay, &QPushButton::clicked, this, &frmDrums::CmdPlay_Click);
    connect(m_cmdStop, &QPushButton::clicked, this, &frmDrums::CmdStop_Click);

    auto* tempoRow = labelled(QStringLiteral("Tempo:"), m_hscMsPerBeat, this);
    tempoRow->addWidget(m_lblTempo);
    auto* songRow = labelled(QStringLiteral("Song Pattern:"), m_txtSongPat, this);
    songRow->addWidget(m_cmdPlay);
    songRow->addWidget(m_cmdStop);

    auto* right = new QVBoxLayout;
    right->addWidget(buildBeatFrame(), 1);
    right->addLayout(labelled(QStringLiteral("Beats:"), m_hscBeats, this));
    right->addLayout(tempoRow);
    right->addLayout(songRow);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);
}

QWidget* frmDrums::buildBeatFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Drum Beat Volumes"), this);
    frame->setObjectName(QStringLiteral("fraDrum"));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(2);
    for (int b = 0; b < kBeats; ++b)
    {
        auto* v = bar(Qt::Vertical, QStringLiteral("vscV%1").arg(b), 0, kMaxDataByte, frame);
        v->setValue(kMaxDataByte);
        v->setMinimumHeight(160);
        connect(v, &QScrollBar::valueChanged, this, [this, b] { beatChanged(b); });
        m_vscV.append(v);
        grid->addWidget(v, 0, b);
    }
    // Markers under the groups of four beats, alternately grey and black.
    for (int g = 0; g < kBeats / kBeatsPerGroup; ++g)
    {
        auto* marker = new QLabel(frame);
        marker->setObjectName(QStringLiteral("Label2%1").arg(g));
        marker->setFixedHeight(6);
        marker->setAutoFillBackground(true);
        QPalette palette = marker->palette();
        palette.setColor(QPalette::Window, g % 2 == 0 ? QColor(128, 128, 128) : Qt::black);
        marker->setPalette(palette);
        grid->addWidget(marker, 1, g * kBeatsPerGroup, 1, kBeatsPerGroup);
    }
    return frame;
}

void frmDrums::buildMenus()
{
    auto* menuBar = new QMenuBar(this);
    auto add = [this](QMenu* menu, const char* name, const QString& caption, auto slot,
                      QKeySequence key = {})
    {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
    };
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    add(file, "mnuFileNew", QStringLiteral("&New"), &frmDrums::mnuFileNew);
    add(file, "mnuFileOpen", QStringLiteral("&Open"), &frmDrums::mnuFileOpen);
    add(file, "mnuFileSave", QStringLiteral("&Save"), &frmDrums::mnuFileSave);
    add(file, "mnuFileSaveAs", QStringLiteral("Save &as ..."), &frmDrums::mnuFileSaveAs);
    file->addSeparator();
    add(file, "mnuFileExit", QStringLiteral("E&xit"), &frmDrums::mnuFileExit);
    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    add(edit, "mnuEditCut", QStringLiteral("C&ut"), &frmDrums::mnuEditCut);
    add(edit, "mnuEditCopy", QStringLiteral("&Copy"), &frmDrums::mnuEditCopy);
    add(edit, "mnuEditPaste", QStringLiteral("&Paste"), &frmDrums::mnuEditPaste);
    edit->addSeparator();
    add(edit, "mnuEditCutAll", QStringLiteral("Cut All"), &frmDrums::mnuEditCutAll);
    add(edit, "mnuEditCopyAll", QStringLiteral("Copy All"), &frmDrums::mnuEditCopyAll);
    add(edit, "mnuEditPasteAll", QStringLiteral("Paste All"), &frmDrums::mnuEditPasteAll);
    // The Control menu runs the buttons' commands, each only while its button is enabled.
    QMenu* control = menuBar->addMenu(QStringLiteral("&Control"));
    add(control, "mnuControlPlay", QStringLiteral("&Play"), &frmDrums::CmdPlay_Click,
        QKeySequence(Qt::Key_F5));
    add(control, "mnuControlStop", QStringLiteral("&Stop"), &frmDrums::CmdStop_Click,
        QKeySequence(Qt::Key_F6));
    layout()->setMenuBar(menuBar);
}

int frmDrums::pattern() const
{
    return m_cboPattern->currentIndex();
}

int frmDrums::instrument() const
{
    return m_lstInstr->currentRow();
}

void frmDrums::ShowPattern()
{
    const int p = pattern();
    const int i = instrument();
    if (p < 0 || i < 0)
        return;
    // The grid row is read before any bar moves: a bar's change stores into the same row.
    const BeatRow row = m_drums.drumGrid[p][i];
    for (int b = 0; b < kBeats; ++b)
        m_vscV[b]->setValue(kMaxDataByte - row[b]);
    const int lastBeat = m_drums.patLastBeat[p];
    const int msPerBeat = m_drums.patMsPerBeat[p];
    m_hscBeats->setValue(lastBeat);
    m_hscMsPerBeat->setValue(msPerBeat);
    EnableBeatBars();
    MsPerBeatChanged();
}

void frmDrums::EnableBeatBars()
{
    const int p = pattern();
    if (p < 0)
        return;
    for (int b = 0; b < kBeats; ++b)
        m_vscV[b]->setEnabled(b <= m_drums.patLastBeat[p]);
}

void frmDrums::BeatsChanged()
{
    const int p = pattern();
    if (p >= 0)
        m_drums.patLastBeat[p] = uint8_t(m_hscBeats->value());
    EnableBeatBars();
}

void frmDrums::MsPerBeatChanged()
{
    const int p = pattern();
    if (p < 0)
        return;
    m_drums.patMsPerBeat[p] = uint8_t(m_hscMsPerBeat->value());
    m_lblTempo->setText(QString::number(m_hscMsPerBeat->value()));
}

void frmDrums::beatChanged(int beat)
{
    const int p = pattern();
    const int i = instrument();
    if (p >= 0 && i >= 0)
        m_drums.drumGrid[p][i][beat] = uint8_t(kMaxDataByte - m_vscV[beat]->value());
}

void frmDrums::FillInstrumentList()
{
    const int row = m_lstInstr->currentRow();
    m_lstInstr->clear();
    for (const QString& name : m_drums.drumNames)
        m_lstInstr->addItem(name);
    // The selection stays on the same entry, so the bars keep showing an instrument.
    if (row >= 0)
        m_lstInstr->setCurrentRow(row);
}

bool frmDrums::LoadDrumFile()
{
    int cells = kGridBytes;
    const QString error = readDrumFile(m_drums.drumFileName, m_drums, &cells);
    if (!error.isEmpty())
        m_ui.message(error, MsgIcon::Exclamation);
    else if (cells < kGridBytes)
        m_ui.message(QStringLiteral("The drum file %1 ends after %2 of its %3 beat cells; the "
                                    "others keep their values.")
                         .arg(m_drums.drumFileName)
                         .arg(cells)
                         .arg(kGridBytes),
                     MsgIcon::Exclamation);
    m_txtSongPat->setText(m_drums.songPattern);
    ShowPattern();
    return error.isEmpty();
}

bool frmDrums::SaveDrumFile()
{
    const QString error = writeDrumFile(m_drums.drumFileName, m_drums);
    if (!error.isEmpty())
        m_ui.message(error, MsgIcon::Critical);
    return error.isEmpty();
}

void frmDrums::OpenDrumFile()
{
    const QString answer =
        m_ui.browseForFile(QStringLiteral("*.mbt;*.drm"), QStringLiteral("Open"));
    if (answer.size() <= 3)
        return;
    const QString extension = answer.right(3).toUpper();
    // A file that cannot be read or written leaves the editor on its previous file, so the
    // next Save still goes where the song was last read from or saved.
    if (extension == QStringLiteral("MBT"))
    {
        const QString previous = std::exchange(m_drums.drumFileName, answer);
        if (!LoadDrumFile())
            m_drums.drumFileName = previous;
    }
    else if (extension == QStringLiteral("DRM"))
    {
        ImportDrumMap(answer);
    }
}

void frmDrums::SaveDrumFileAs()
{
    const QString answer = m_ui.browseForFile(QStringLiteral("*.mbt"), QStringLiteral("Save As"));
    if (answer.isEmpty())
        return;
    const QString previous = std::exchange(m_drums.drumFileName, answer);
    if (!SaveDrumFile())
        m_drums.drumFileName = previous;
}

void frmDrums::ImportDrumMap(const QString& fileName)
{
    const QString error = importDrumMap(fileName, m_drums);
    if (!error.isEmpty())
        m_ui.message(error, MsgIcon::Exclamation);
    FillInstrumentList();
}

void frmDrums::CmdPlay_Click()
{
    if (m_playing || m_unloaded)
        return;
    m_cmdPlay->setEnabled(false);
    m_cmdStop->setEnabled(true);
    PlayDrums();
}

void frmDrums::CmdStop_Click()
{
    if (m_cmdStop->isEnabled())
        StopDrums();
}

void frmDrums::PlayDrums()
{
    m_playing = true;
    QueueDrums(m_drums, [this](int32_t timeMs, int32_t message)
               { return m_engine.AddMidi(timeMs, message); });
    m_ui.message(QStringLiteral("Drums are queued."));
    m_engine.PlayMidi();
    // The window system runs until the song has ended, Stop has stopped it or the window has
    // closed.
    m_song.follow(0, std::numeric_limits<int32_t>::max());
    m_song.waitForFinished();
    m_playing = false;
    StopDrums();
}

void frmDrums::StopDrums()
{
    if (!m_unloaded)
        m_engine.StopMidi();
    m_song.stop();
    m_cmdPlay->setEnabled(true);
    m_cmdStop->setEnabled(false);
}

void frmDrums::mnuFileNew()
{
    clearPatterns(m_drums, m_tempo);
    ShowPattern();
}

void frmDrums::mnuFileExit()
{
    close();
}

void frmDrums::mnuEditCut()
{
    cutInstrument(m_drums, pattern(), instrument());
    ShowPattern();
}

void frmDrums::mnuEditCopy()
{
    copyInstrument(m_drums, pattern(), instrument());
}

void frmDrums::mnuEditPaste()
{
    pasteInstrument(m_drums, pattern(), instrument());
    ShowPattern();
}

void frmDrums::mnuEditCutAll()
{
    cutPattern(m_drums, pattern(), m_tempo);
    ShowPattern();
}

void frmDrums::mnuEditCopyAll()
{
    copyPattern(m_drums, pattern());
}

void frmDrums::mnuEditPasteAll()
{
    pastePattern(m_drums, pattern());
    ShowPattern();
}

void frmDrums::done(int result)
{
    unload();
    QDialog::done(result);
}

void frmDrums::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_engine.StopMidi();
    m_engine.CloseMidiPlay();
    m_song.stop();
}

} // namespace vumo::drums
