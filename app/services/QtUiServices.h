// QtUiServices: the message boxes, file dialog, browser and program starts users see.
#pragma once

#include "services/UiServices.h"

#include <QPointer>
#include <QWidget>

namespace vumo
{

class QtUiServices : public UiServices
{
public:
    explicit QtUiServices(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text, const QString& title, MsgIcon icon) override;
    Answer askQuestion(const QString& text, const QString& title, Buttons buttons, MsgIcon icon,
                       Answer defaultButton = Answer::Yes) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString browseForFile(const QString& pattern, const QString& caption) override;
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path) override;
    int runDialog(QDialog& dialog) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace vumo
