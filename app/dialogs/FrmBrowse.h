// FrmBrowse: the file dialog window: name box, file list, folder list, drives, patterns.
#pragma once

#include <QDialog>

#include <memory>

class QListWidgetItem;

namespace Ui
{
class FrmBrowse;
}

namespace vumo
{

class UiServices;

class FrmBrowse : public QDialog
{
    Q_OBJECT

public:
    explicit FrmBrowse(UiServices& ui, QWidget* parent = nullptr);
    ~FrmBrowse() override;

    // Steps before showing: file pattern and name box = pattern, pattern list = pattern and
    // "*.*" with none selected, caption.
    void prepare(const QString& pattern, const QString& caption);

    // The dialog's answer: the name box (emptied by Cancel).
    QString fileName() const;
    QString folder() const { return m_folder; }
    // Dir1 change: shows the folder's subfolders and files and puts its path in the name box.
    void setFolder(const QString& folder);
    // The drive list's entries (roots of the mounted volumes).
    QStringList drives() const;
    // The files File1 shows now.
    QStringList files() const;
    // Drive1 change: goes to the root of a drive. A drive that is not ready asks "Please check
    // the disk. Try Again?"; No goes back to the drive of the current folder.
    void changeDrive(const QString& root);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFolder();
    void fillFiles();
    void fillDrives();
    void selectDriveOf(const QString& folder);
    void fileClicked(const QListWidgetItem* item);
    void fileDoubleClicked(const QListWidgetItem* item);
    void folderActivated(const QListWidgetItem* item);
    void patternClicked(const QListWidgetItem* item);
    void driveChosen(int index);
    void cancel();

    std::unique_ptr<Ui::FrmBrowse> ui;
    UiServices& m_services;
    QString m_folder;
    QString m_filePattern = QStringLiteral("*.*");
};

} // namespace vumo
