// BrowseForFile and its OPEN / SAVE checks.
#include "dialogs/Browse.h"

#include "dialogs/FrmBrowse.h"
#include "services/UiServices.h"

#include <QDir>
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
    if (info.exists())
    {
        const Answer answer = ui.askQuestion(
            QStringLiteral("This file already exists.  Are you sure you want to overwrite it?"),
            QStringLiteral("Alert"), Buttons::YesNo, MsgIcon::Exclamation);
        return answer == Answer::Yes ? fileName : QString();
    }
    // Only the file's own name counts: a point in a folder name does not make an extension.
    if (!info.fileName().contains(u'.'))
        return fileName + patternExtension(pattern);
    return fileName;
}

QString BrowseForFile(UiServices& ui, const QString& pattern, const QString& caption,
                      QWidget* parent)
{
    FrmBrowse dialog(ui, parent);
    dialog.prepare(pattern, caption);
    dialog.exec();
    return checkBrowseResult(ui, caption, pattern, dialog.fileName());
}

} // namespace vumo
