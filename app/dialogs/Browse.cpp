// BrowseForFile, the system's file dialog, and their OPEN / SAVE checks.
#include "dialogs/Browse.h"

#include "dialogs/FrmBrowse.h"
#include "services/UiServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vumo
{

QString patternExtension(const QString& pattern)
{
    const QString first = pattern.section(u';', 0, 0).trimmed();
    const QString extension = first.mid(1);
    if (extension.contains(u'*') || extension.contains(u'?'))
        return {};
    return extension;
}

QString checkBrowseResult(UiServices& ui, const QString& caption, const QString& pattern,
                          const QString& fileName)
{
    if (fileName.isEmpty())
        return fileName;
    const QString mode = caption.left(4).toUpper();
    const QFileInfo info(fileName);
    // A folder (the dialog puts its folder path into the name box) is never a file choice.
    const bool namesFolder =
        info.isDir() || fileName.endsWith(QDir::separator()) || fileName.endsWith(u'/');
    if (mode == QStringLiteral("OPEN"))
    {
        if (info.isFile())
            return fileName;
        // A typed name of no file is said so, rather than taken for a Cancel.
        if (!namesFolder && !info.exists())
            ui.message(QStringLiteral("The file %1 does not exist.")
                           .arg(QDir::toNativeSeparators(fileName)),
                       MsgIcon::Exclamation);
        return {};
    }
    if (mode != QStringLiteral("SAVE"))
        return fileName;
    if (namesFolder)
        return {};
    // Only the file's own name counts: a point in a folder name does not make an extension.
    QString target = fileName;
    if (!info.exists() && !info.fileName().contains(u'.'))
        target += patternExtension(pattern);
    // The extension added may name a file that exists: that is asked about as well.
    if (QFileInfo::exists(target))
    {
        const Answer answer = ui.askQuestion(
            QStringLiteral("This file already exists.  Are you sure you want to overwrite it?"),
            QStringLiteral("Alert"), Buttons::YesNo, MsgIcon::Exclamation);
        return answer == Answer::Yes ? target : QString();
    }
    return target;
}

QString BrowseForFile(UiServices& ui, const QString& pattern, const QString& caption,
                      QWidget* parent)
{
    FrmBrowse dialog(ui, parent);
    dialog.prepare(pattern, caption);
    dialog.exec();
    return checkBrowseResult(ui, caption, pattern, dialog.fileName());
}

namespace
{

// "*.wav" as "*.[wW][aA][vV]": the system's dialogs match names with regard to case.
QString anyCase(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern)
    {
        if (c.toLower() != c.toUpper())
            out += u'[' + c.toLower() + c.toUpper() + u']';
        else
            out += c;
    }
    return out;
}

} // namespace

QStringList fileDialogFilters(const QString& pattern)
{
    QStringList patterns;
    for (const QString& one : pattern.split(u';', Qt::SkipEmptyParts))
        patterns << anyCase(one.trimmed());
    // The part in brackets is what matches; the dialog shows the text before it.
    return {QStringLiteral("%1 (%2)").arg(pattern, patterns.join(u' ')), QStringLiteral("*.* (*)")};
}

void prepareFileDialog(QFileDialog& dialog, const QString& pattern, const QString& caption,
                       const QString& folder)
{
    const QString mode = caption.left(4).toUpper();
    dialog.setWindowTitle(caption);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(fileDialogFilters(pattern));
    dialog.setDirectory(folder);
    if (mode == QStringLiteral("SAVE"))
    {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The question comes from checkBrowseResult, in the studio's words.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    else
    {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(mode == QStringLiteral("OPEN") ? QFileDialog::ExistingFile
                                                          : QFileDialog::AnyFile);
    }
}

QString BrowseSystem(UiServices& ui, const QString& pattern, const QString& caption,
                     QString& folder, QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgSystemBrowse"));
    prepareFileDialog(dialog, pattern, caption, folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    folder = dialog.directory().absolutePath();
    return checkBrowseResult(ui, caption, pattern, chosen);
}

} // namespace vumo
