// frmOptions: the Options dialog.
#include "dialogs/frmOptions.h"

#include "services/UiServices.h"
#include "ui_frmOptions.h"

#include <QSignalBlocker>

#include <limits>
#include <optional>

namespace vumo
{
namespace
{

constexpr int kBarTop = 256;
constexpr int32_t kMaxTempo = 256;           // ms per beat, the top of the bar
constexpr int32_t kMaxMidiBufLen = 16777216; // the most a MIDI queue can hold

// A box's text as a whole number of type T, or nothing when it is not one.
template <typename T> std::optional<T> wholeNumber(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(value);
}

} // namespace

frmOptions::frmOptions(const OptionsValues& shown, UiServices& services,
                       const QStringList& midiInputs, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmOptions>()), m_values(shown), m_services(services)
{
    ui->setupUi(this);
    fill(midiInputs);
    connect(ui->vscTempo, &QScrollBar::valueChanged, this, &frmOptions::tempoMoved);
    connect(ui->vscMEG, &QScrollBar::valueChanged, this, &frmOptions::megMoved);
    connect(ui->vscMidiBufLen, &QScrollBar::valueChanged, this, &frmOptions::bufLenMoved);
    connect(ui->cmdBrowseMidi, &QPushButton::clicked, this, &frmOptions::browseMidi);
    connect(ui->cmdBrowseMixer, &QPushButton::clicked, this, &frmOptions::browseMixer);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmOptions::ok);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmOptions::reject);
}

frmOptions::~frmOptions() = default;

void frmOptions::fill(const QStringList& midiInputs)
{
    const StudioSettings& settings = m_values.settings;
    ui->cboMidiInDev->addItems(midiInputs);
    if (settings.midiInDevice >= 0 && settings.midiInDevice < ui->cboMidiInDev->count())
        ui->cboMidiInDev->setCurrentIndex(settings.midiInDevice);
    else
        ui->cboMidiInDev->setCurrentIndex(-1);
    ui->txtMixer->setText(settings.mixerPath);
    ui->txtMidi->setText(settings.sequencerPath);
    ui->txtMEG->setText(QString::number(settings.defaultTrackMB));
    ui->txtTempo->setText(QString::number(m_values.tempo));
    ui->txtMidiBufLen->setText(QString::number(settings.midiBufLen));
    ui->chkOwnBrowser->setChecked(settings.ownFileBrowser);
    // Placing the bars must not rewrite the boxes: a buffer length typed by hand that is not
    // a multiple of 256 shows again as it was stored.
    const QSignalBlocker blockMeg(ui->vscMEG);
    const QSignalBlocker blockBuf(ui->vscMidiBufLen);
    const QSignalBlocker blockTempo(ui->vscTempo);
    ui->vscMEG->setValue(kBarTop - settings.defaultTrackMB);
    ui->vscMidiBufLen->setValue(kBarTop - settings.midiBufLen / 256);
    ui->vscTempo->setValue(kBarTop - m_values.tempo);
}

void frmOptions::tempoMoved(int value)
{
    ui->txtTempo->setText(QString::number(kBarTop - value));
}

void frmOptions::megMoved(int value)
{
    ui->txtMEG->setText(QString::number(kBarTop - value));
}

void frmOptions::bufLenMoved(int value)
{
    ui->txtMidiBufLen->setText(QString::number((kBarTop - value) * 256));
}

void frmOptions::browseMidi()
{
    ui->txtMidi->setText(m_services.browseForFile(QStringLiteral("*.exe"), QStringLiteral("Open")));
}

void frmOptions::browseMixer()
{
    ui->txtMixer->setText(
        m_services.browseForFile(QStringLiteral("*.exe"), QStringLiteral("Open")));
}

void frmOptions::ok()
{
    // A tempo or a buffer length typed by hand that is no whole number in range is refused, and
    // the dialog stays open to mend it.
    const auto tempo = wholeNumber<int32_t>(ui->txtTempo->text());
    const auto bufLen = wholeNumber<int32_t>(ui->txtMidiBufLen->text());
    if (!tempo || *tempo < 1 || *tempo > kMaxTempo)
    {
        m_services.message(
            QStringLiteral("The tempo must be a whole number of milliseconds from 1 to %1.")
                .arg(kMaxTempo),
            MsgIcon::Exclamation);
        return;
    }
    if (!bufLen || *bufLen < 1 || *bufLen > kMaxMidiBufLen)
    {
        m_services.message(
            QStringLiteral("The MIDI buffer length must be a whole number from 1 to %1.")
                .arg(kMaxMidiBufLen),
            MsgIcon::Exclamation);
        return;
    }
    StudioSettings& settings = m_values.settings;
    settings.mixerPath = ui->txtMixer->text();
    settings.sequencerPath = ui->txtMidi->text();
    // The length box is the bar's (read-only); a stored text that is no number stays unread.
    if (const auto mb = wholeNumber<int16_t>(ui->txtMEG->text()))
        settings.defaultTrackMB = *mb;
    settings.midiBufLen = *bufLen;
    m_values.tempo = *tempo;
    if (ui->cboMidiInDev->currentIndex() >= 0)
        settings.midiInDevice = ui->cboMidiInDev->currentIndex();
    settings.ownFileBrowser = ui->chkOwnBrowser->isChecked();
    accept();
}

std::optional<OptionsValues> runOptions(UiServices& ui, const OptionsValues& shown,
                                        const QStringList& midiInputs, QWidget* parent)
{
    frmOptions dialog(shown, ui, midiInputs, parent);
    if (ui.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace vumo
