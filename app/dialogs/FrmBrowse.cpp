// FrmBrowse: the file dialog window.
#include "dialogs/FrmBrowse.h"

#include "services/UiServices.h"
#include "settings/AppFolder.h"
#include "ui_FrmBrowse.h"

#include <QDir>
#include <QStorageInfo>

namespace vumo
{
namespace
{

const QString kParentEntry = QStringLiteral("..");

QString withSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

FrmBrowse::FrmBrowse(UiServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmBrowse>()), m_services(services),
      m_folder(QDir::currentPath())
{
    ui->setupUi(this);
    fillDrives();
    connect(ui->cmdOK, &QPushButton::clicked, this, &FrmBrowse::accept);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &FrmBrowse::cancel);
    connect(ui->File1, &QListWidget::itemClicked, this, &FrmBrowse::fileClicked);
    connect(ui->File1, &QListWidget::itemDoubleClicked, this, &FrmBrowse::fileDoubleClicked);
    connect(ui->Dir1, &QListWidget::itemActivated, this, &FrmBrowse::folderActivated);
    connect(ui->LstPattern, &QListWidget::itemClicked, this, &FrmBrowse::patternClicked);
    connect(ui->Drive1, &QComboBox::activated, this, &FrmBrowse::driveChosen);
    showFolder();
}

FrmBrowse::~FrmBrowse() = default;

void FrmBrowse::prepare(const QString& pattern, const QString& caption)
{
    m_filePattern = pattern;
    fillFiles();
    ui->txtFileName->setText(pattern);
    while (ui->LstPattern->count() > 0)
        delete ui->LstPattern->takeItem(ui->LstPattern->count() - 1);
    ui->LstPattern->addItem(pattern);
    ui->LstPattern->addItem(QStringLiteral("*.*"));
    ui->LstPattern->setCurrentRow(-1);
    setWindowTitle(caption);
}

QString FrmBrowse::fileName() const
{
    return ui->txtFileName->text();
}

void FrmBrowse::setFolder(const QString& folder)
{
    m_folder = QDir(folder).absolutePath();
    showFolder();
    ui->txtFileName->setText(withSeparator(m_folder));
}

QStringList FrmBrowse::drives() const
{
    QStringList result;
    for (int i = 0; i < ui->Drive1->count(); ++i)
        result.append(ui->Drive1->itemData(i).toString());
    return result;
}

QStringList FrmBrowse::files() const
{
    QStringList result;
    for (int i = 0; i < ui->File1->count(); ++i)
        result.append(ui->File1->item(i)->text());
    return result;
}

void FrmBrowse::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Activation replaces the pattern in the name box by the folder, ready for a name.
    setFolder(m_folder);
    ui->txtFileName->setFocus();
}

void FrmBrowse::showFolder()
{
    ui->lblFolder->setText(QDir::toNativeSeparators(m_folder));
    ui->Dir1->clear();
    QDir dir(m_folder);
    if (!dir.isRoot())
        ui->Dir1->addItem(kParentEntry);
    ui->Dir1->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    selectDriveOf(m_folder);
    fillFiles();
}

void FrmBrowse::fillFiles()
{
    ui->File1->clear();
    QDir dir(m_folder);
    dir.setNameFilters(m_filePattern.split(u';', Qt::SkipEmptyParts));
    dir.setFilter(QDir::Files); // patterns match without regard to case
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    ui->File1->addItems(dir.entryList());
}

void FrmBrowse::fillDrives()
{
    ui->Drive1->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
    {
        if (!volume.isValid())
            continue;
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        ui->Drive1->addItem(root, root);
    }
}

void FrmBrowse::selectDriveOf(const QString& folder)
{
    const QString root = QDir::toNativeSeparators(QStorageInfo(folder).rootPath());
    const int index = ui->Drive1->findData(root);
    if (index >= 0)
        ui->Drive1->setCurrentIndex(index);
}

void FrmBrowse::fileClicked(const QListWidgetItem* item)
{
    if (item != nullptr)
        ui->txtFileName->setText(joinPath(QDir::toNativeSeparators(m_folder), item->text()));
}

void FrmBrowse::fileDoubleClicked(const QListWidgetItem* item)
{
    fileClicked(item);
    accept();
}

void FrmBrowse::folderActivated(const QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    setFolder(QDir(m_folder).absoluteFilePath(item->text()));
}

void FrmBrowse::patternClicked(const QListWidgetItem* item)
{
    if (item == nullptr)
        return;
    m_filePattern = item->text();
    fillFiles();
}

void FrmBrowse::driveChosen(int index)
{
    changeDrive(ui->Drive1->itemData(index).toString());
}

void FrmBrowse::changeDrive(const QString& root)
{
    for (;;)
    {
        const QStorageInfo volume(root);
        if (volume.isValid() && volume.isReady() && QDir(root).exists())
        {
            if (QDir(root).isReadable())
            {
                setFolder(root);
                return;
            }
            m_services.showMessage(
                QStringLiteral("Unrecoverable error: the drive %1 cannot be read.").arg(root),
                QStringLiteral("PLEASE COPY DOWN:"), MsgIcon::Critical);
            selectDriveOf(m_folder);
            return;
        }
        const Answer answer =
            m_services.askQuestion(QStringLiteral("Please check the disk. Try Again?"), kAppTitle,
                                   Buttons::YesNo, MsgIcon::Exclamation);
        if (answer != Answer::Yes)
        {
            selectDriveOf(m_folder);
            return;
        }
    }
}

void FrmBrowse::cancel()
{
    ui->txtFileName->clear();
    reject();
}

} // namespace vumo
