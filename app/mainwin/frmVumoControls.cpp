// frmVumo's controls: the picture buttons with their help topics, the track controls, the
// zoom and scroll bars, the waveform picture and the memory and length labels.
#include "mainwin/frmVumo.h"

#include "engineapi/EngineBinding.h"
#include "model/ProjectModel.h"
#include "view/WaveformView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vumo
{
namespace
{

QScrollBar* makeBar(QWidget* parent, const char* name, int minimum, int maximum, int value)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    return bar;
}

QLabel* makeLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

QToolButton* frmVumo::addPictureButton(const char* name, const char* icon, const QString& tip,
                                       const char* tag, const char* menuItem, Command command)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setProperty("tag", QString::fromLatin1(tag));
    const QString item = QString::fromLatin1(menuItem);
    // The help check comes first: in help mode the click only opens the button's topic.
    connect(button, &QToolButton::clicked, this,
            [this, button, item, command]
            {
                if (helpMode())
                {
                    ShowHelp(button->property("tag").toString());
                    return;
                }
                runCommand(item, command);
            });
    return button;
}

QWidget* frmVumo::buildButtonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    auto add = [&](const char* name, const char* icon, const char* tip, const char* tag,
                   const char* menuItem, Command command)
    {
        layout->addWidget(
            addPictureButton(name, icon, QString::fromLatin1(tip), tag, menuItem, command));
    };
    auto gap = [&] { layout->addSpacing(10); };
    add("cmdNew", "new", "New", "#Options", "mnuFileNew", &frmVumo::mnuFileNew);
    add("cmdOpen", "open", "Open", "#Open", "mnuFileOpen", &frmVumo::mnuFileOpen);
    add("cmdSave", "save", "Save", "#TRK", "mnuFileSave", &frmVumo::mnuFileSave);
    gap();
    add("cmdCut", "cut", "Cut", "#Copy", "mnuEditCut", &frmVumo::mnuEditCut);
    add("cmdCopy", "copy", "Copy", "#Copy", "mnuEditCopy", &frmVumo::mnuEditCopy);
    add("cmdPaste", "paste", "Paste", "#Copy", "mnuEditPaste", &frmVumo::mnuEditPaste);
    // Its menu item is Revert to Saved, told apart from the undo steps (Ctrl+Z).
    add("cmdUndo", "undo", "Revert to Saved", "#Copy", "mnuEditUndo", &frmVumo::mnuEditUndo);
    add("cmdMerge", "merge", "Merge", "#Copy", "mnuEditMerge", &frmVumo::mnuEditMerge);
    gap();
    // The help button switches help mode itself; it has no help check.
    auto* help = new QToolButton(row);
    help->setObjectName(QStringLiteral("cmdHelp"));
    help->setIcon(QIcon(QStringLiteral(":/icons/help.svg")));
    help->setIconSize(QSize(24, 24));
    help->setToolTip(QStringLiteral("What's this Help"));
    help->setAutoRaise(true);
    help->setProperty("tag", QStringLiteral("#CAB"));
    connect(help, &QToolButton::clicked, this, &frmVumo::cmdHelp_Click);
    layout->addWidget(help);
    gap();
    add("CmdPlay", "play", "Play", "#Record", "mnuControlPlay", &frmVumo::mnuControlPlay);
    add("cmdRec", "record", "Record", "#Record", "mnuControlRecord", &frmVumo::mnuControlRecord);
    add("CmdStop", "stop", "Stop", "#Record", "mnuControlStop", &frmVumo::mnuControlStop);
    gap();
    add("cmdDrum", "drum", "Drum Editor", "#Drum", "mnuAddInDrum", &frmVumo::mnuAddInDrum);
    add("cmdKeys", "keys", "Midi Editor", "#Midi", "mnuAddInMidi", &frmVumo::mnuAddInMidi);
    add("cmdProps", "props", "Properties", "#Options", "mnuFileProps", &frmVumo::mnuFileProps);
    gap();
    m_cboTrack = new QComboBox(row);
    m_cboTrack->setObjectName(QStringLiteral("cboTrack"));
    m_cboTrack->setToolTip(QStringLiteral("Select Track"));
    m_cboTrack->setMinimumWidth(140);
    m_cboTrack->installEventFilter(this);
    layout->addWidget(m_cboTrack);
    add("cmdTrackProps", "trackprops", "Track Properties", "#Select", "mnuTrackProps",
        &frmVumo::mnuTrackProps);
    add("cmdTrackAdd", "trackadd", "Add Track", "#Select", "mnuTrackAdd", &frmVumo::mnuTrackAdd);
    add("cmdTrackDel", "trackdel", "Delete Track", "#Delete", "mnuTrackDelete",
        &frmVumo::mnuTrackDelete);
    gap();
    add("cmdFxList", "fxlist", "Effects List", "#Effects", "mnuFXList", &frmVumo::mnuFXList);
    add("cmdMaster", "master", "Master", "#Mix", "mnuTrackMix", &frmVumo::mnuTrackMix);
    layout->addStretch(1);
    return row;
}

QWidget* frmVumo::buildTrackRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 0, 2, 0);

    m_fraTrack = new QGroupBox(QStringLiteral("Active Track"), row);
    m_fraTrack->setObjectName(QStringLiteral("fraTrack"));
    auto* boxes = new QHBoxLayout(m_fraTrack);
    auto makeBox = [&](const char* name, const char* text, const char* tip)
    {
        auto* box = new QCheckBox(QString::fromLatin1(text), m_fraTrack);
        box->setObjectName(QString::fromLatin1(name));
        if (*tip != '\0')
            box->setToolTip(QString::fromLatin1(tip));
        box->installEventFilter(this);
        boxes->addWidget(box);
        return box;
    };
    m_chkDrums = makeBox("chkDrums", "Drums", "");
    m_chkMute = makeBox("chkMute", "Mute", "Do Not Use In Mix");
    m_chkMerge = makeBox("chkMerge", "Merge", "Over Dub");
    m_chkArm = makeBox("chkArm", "Arm", "Arm Track for Record");
    m_fraTrack->hide(); // shown by the first track switch
    layout->addWidget(m_fraTrack);

    m_hscVol = makeBar(row, "hscVol", 0, 255, 255);
    m_hscPan = makeBar(row, "hscPan", 0, 255, 128);
    m_hscZoom = makeBar(row, "hscZoom", 1, 256, 1);
    for (auto [label, bar] :
         {std::pair{"Vol", m_hscVol}, std::pair{"Pan", m_hscPan}, std::pair{"Zoom", m_hscZoom}})
    {
        layout->addWidget(makeLabel(row, QString::fromLatin1(label)));
        bar->setMinimumWidth(110);
        layout->addWidget(bar, 1);
    }
    return row;
}

void frmVumo::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(buildButtonRow());
    layout->addWidget(buildTrackRow());

    m_view = new view::WaveformView(
        m_mod,
        [this](int32_t sampleIndex)
        { return m_session.isOpen() ? m_engine.TrackRead(sampleIndex) : 0; },
        [this] { return m_session.isOpen(); }, central);
    layout->addWidget(buildViewArea(central), 1);

    m_hscView = makeBar(central, "hscView", 0, 32767, 0);
    m_hscView->setPageStep(1024);
    layout->addWidget(m_hscView);

    setCentralWidget(central);
    buildStatusBar(); // the memory and length labels, the selection and the play position

    connectCheckBox(m_chkArm, "mnuControlArm");
    connectCheckBox(m_chkMerge, "mnuControlMerge");
    connectCheckBox(m_chkDrums, "mnuControlActivateDrums");
    connect(m_chkArm, &QCheckBox::toggled, this,
            [this](bool on)
            {
                if (on)
                    EnableRecord();
                else
                    DisableRecord();
            });
    connect(m_chkMute, &QCheckBox::toggled, this,
            [this](bool on)
            {
                if (m_cboTrack->currentIndex() >= 0) // none after Delete
                    m_model.setMute(m_mod.currentTrack, on);
            });
    connect(m_hscVol, &QScrollBar::valueChanged, this,
            [this](int value)
            {
                if (m_cboTrack->currentIndex() >= 0) // none after Delete
                    m_model.setVolume(m_mod.currentTrack, value);
            });
    connect(m_hscPan, &QScrollBar::valueChanged, this,
            [this](int value)
            {
                if (m_cboTrack->currentIndex() >= 0) // none after Delete
                    m_model.setPan(m_mod.currentTrack, value);
            });
    // Gains changed elsewhere (a command, the mixer) show in the controls of the chosen track.
    connect(&m_model, &ProjectModel::trackGainsChanged, this,
            [this](int k)
            {
                refreshCaption();
                if (k != m_cboTrack->currentIndex())
                    return;
                const TrackRecord& t = m_mod.tracks[k];
                m_hscVol->setValue(t.volume);
                m_hscPan->setValue(t.pan);
                m_chkMute->setChecked(t.mute == 1);
            });
    // A title changed elsewhere (Track Properties) shows in the track list and the strip.
    connect(&m_model, &ProjectModel::trackChanged, this,
            [this](int k)
            {
                if (k < m_cboTrack->count())
                    m_cboTrack->setItemText(k, m_mod.tracks[k].title.trimmed());
                refreshStrip();
            });
    connect(m_cboTrack, &QComboBox::currentIndexChanged, this, &frmVumo::trackListChanged);
    connect(m_hscZoom, &QScrollBar::valueChanged, this, &frmVumo::zoomChanged);
    connect(m_hscView, &QScrollBar::valueChanged, this,
            [this]
            {
                SetViewWindow();
                DrawTrack();
            });
    DisableRecord(); // no track is armed yet
}

void frmVumo::connectCheckBox(QCheckBox* box, const char* menuItem)
{
    QAction* action = m_actions.value(QString::fromLatin1(menuItem));
    connect(box, &QCheckBox::toggled, action, &QAction::setChecked);
}

void frmVumo::zoomChanged()
{
    m_hscView->setVisible(m_hscZoom->value() != 0);
    SetViewWindow();
    DrawTrack();
}

} // namespace vumo
