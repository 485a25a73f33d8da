// FrmTrackProps: the Track Properties dialog.
#include "dialogs/FrmTrackProps.h"

#include "project/ProjectFile.h"
#include "services/UiServices.h"

#include "ui_FrmTrackProps.h"

namespace vumo
{

FrmTrackProps::FrmTrackProps(const TrackRecord& track, UiServices& services, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::FrmTrackProps>()), m_names{track.title, track.fileName},
      m_services(services)
{
    ui->setupUi(this);
    ui->txtTitle->setText(track.title.trimmed());
    ui->txtFileName->setText(track.fileName.trimmed());
    connect(ui->cmdBrowse, &QPushButton::clicked, this, &FrmTrackProps::browse);
    connect(ui->OKButton, &QPushButton::clicked, this, &FrmTrackProps::ok);
    connect(ui->CancelButton, &QPushButton::clicked, this, &FrmTrackProps::reject);
}

FrmTrackProps::~FrmTrackProps() = default;

void FrmTrackProps::browse()
{
    ui->txtFileName->setText(
        m_services.browseForFile(QStringLiteral("*.wav"), QStringLiteral("Open")));
}

void FrmTrackProps::ok()
{
    const QString title = ui->txtTitle->text();
    const QString fileName = ui->txtFileName->text().trimmed();
    if (title.trimmed().isEmpty() || fileName.isEmpty())
    {
        m_services.message(QStringLiteral("You must supply a title and filename."));
        return;
    }
    // A text left as shown keeps its stored bytes: a name from elsewhere need not be valid in
    // the local encoding, and encoding what is shown of it would name another file.
    const bool newFile = fileName != m_names.fileName.trimmed();
    // A cut path would name another file: refuse it whole.
    if (const QString refused = project::checkTrackPath(fileName); newFile && !refused.isEmpty())
    {
        m_services.message(refused);
        return;
    }
    if (title != m_names.title.trimmed())
        m_names.title.assign(title);
    if (newFile)
        m_names.fileName.assign(fileName);
    accept();
}

std::optional<TrackNames> runTrackProperties(UiServices& ui, const TrackRecord& track,
                                             QWidget* parent)
{
    FrmTrackProps dialog(track, ui, parent);
    if (ui.runDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.names();
}

} // namespace vumo
