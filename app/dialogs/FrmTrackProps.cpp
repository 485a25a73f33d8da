// FrmTrackProps: the Track Properties dialog.
#include "dialogs/FrmTrackProps.h"

#include "project/ProjectFile.h"
#include "services/UiServices.h"

#include "ui_FrmTrackProps.h"

namespace vumo
{

FrmTrackProps::FrmTrackProps(ModVumo& mod, UiServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmTrackProps>()), m_mod(mod), m_services(services)
{
    ui->setupUi(this);
    m_mod.dialogCancelled = false;
    const TrackRecord& track = m_mod.tracks[m_mod.currentTrack];
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
    TrackRecord& track = m_mod.tracks[m_mod.currentTrack];
    const bool newFile = fileName != track.fileName.trimmed();
    // A cut path would name another file: refuse it whole.
    if (const QString refused = project::checkTrackPath(fileName); newFile && !refused.isEmpty())
    {
        m_services.message(refused);
        return;
    }
    if (title != track.title.trimmed())
        track.title.assign(title);
    if (newFile)
        track.fileName.assign(fileName);
    accept();
}

void FrmTrackProps::reject()
{
    m_mod.dialogCancelled = true;
    QDialog::reject();
}

} // namespace vumo
