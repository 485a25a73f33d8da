// FrmProjProps: the Project Settings dialog.
#include "dialogs/FrmProjProps.h"

#include "services/UiServices.h"

#include "ui_FrmProjProps.h"

#include <algorithm>
#include <cmath>

namespace vumo
{
namespace
{

constexpr int32_t kMinMB = 1;
constexpr int32_t kMaxMB = 256;
constexpr double kBytesPerSecond = 176400.0; // 44100 frames of 4 bytes

} // namespace

QString recordingTimeText(int32_t memoryMB)
{
    const double seconds = memoryMB * 1048576.0 / kBytesPerSecond;
    const auto s = static_cast<int64_t>(std::nearbyint(seconds)); // halves to even
    return QStringLiteral("%1.%2")
        .arg(s / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

int32_t totalMemoryMB(int32_t memoryMB)
{
    return memoryMB * 3 + 1;
}

FrmProjProps::FrmProjProps(const ProjectProps& shown, bool cancellable, UiServices& services,
                           int64_t physicalMB, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmProjProps>()), m_values(shown),
      m_services(services)
{
    ui->setupUi(this);
    if (!cancellable)
        ui->cmdCancel->hide();
    // A project file from elsewhere may hold a length outside what the bar covers; the dialog
    // then offers the nearest size it can set.
    const int32_t mb = std::clamp(shown.trackLength / kFramesPerMB, kMinMB, kMaxMB);
    ui->txtMem->setText(QString::number(mb));
    ui->txtTitle->setText(shown.projTitle.trimmed());
    ui->vscMem->setValue(256 - mb);
    UpdateRecTime();
    ui->lblMem->setText(QString::number(physicalMB));
    connect(ui->vscMem, &QScrollBar::valueChanged, this, &FrmProjProps::memMoved);
    connect(ui->cmdOK, &QPushButton::clicked, this, &FrmProjProps::ok);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &FrmProjProps::reject);
}

FrmProjProps::~FrmProjProps() = default;

int32_t FrmProjProps::memoryMB() const
{
    return ui->txtMem->text().toInt();
}

void FrmProjProps::memMoved(int value)
{
    ui->txtMem->setText(QString::number(256 - value));
    UpdateRecTime();
}

void FrmProjProps::UpdateRecTime()
{
    const int32_t mb = memoryMB();
    ui->txtTotalMem->setText(QString::number(totalMemoryMB(mb)));
    ui->txtSec->setText(recordingTimeText(mb));
}

void FrmProjProps::ok()
{
    const int32_t mb = memoryMB();
    if (ui->lblMem->text().toLongLong() < totalMemoryMB(mb))
    {
        m_services.message(QStringLiteral("You have requested more memory than is available."));
        return;
    }
    m_values.trackLength = mb * kFramesPerMB;
    // A title left as shown keeps its stored bytes (FrmTrackProps says why).
    if (ui->txtTitle->text() != m_values.projTitle.trimmed())
        m_values.projTitle.assign(ui->txtTitle->text());
    // Only an accepted dialog changes the recording time shown beside the window's length.
    m_values.recTimeText = ui->txtSec->text();
    accept();
}

std::optional<ProjectProps> runProjectSettings(UiServices& ui, const ProjectProps& shown,
                                               bool cancellable, int64_t physicalMB,
                                               QWidget* parent)
{
    // Cancel, Escape and the window's close button all cancel; the hidden Cancel of the
    // start-up New leaves only OK (closing the window then cancels too).
    FrmProjProps dialog(shown, cancellable, ui, physicalMB, parent);
    if (ui.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace vumo
