// LoggingWindow: a StudioWindow for command tests that writes down what the commands ask of the
// main window ("lock", the message texts, "hide", "draw", "load 2" ...), in order.
#pragma once

#include "commands/StudioWindow.h"

#include <QStringList>

namespace vumo
{

struct LoggingWindow : StudioWindow
{
    Selection sel;
    int chosen = 0;
    bool merge = false;
    QStringList log;

    Selection& selection() override { return sel; }
    int chosenTrack() const override { return chosen; }
    void EnableControls(bool enable) override { log << (enable ? "unlock" : "lock"); }
    void showMessage(const QString& text) override { log << text; }
    void hideMessage() override { log << "hide"; }
    void DrawTrack() override { log << "draw"; }
    bool drumsActive() const override { return false; }
    bool mergeRecord() const override { return merge; }
    void LoadTrack(int k, int32_t) override { log << QStringLiteral("load %1").arg(k); }
    void chooseTrack(int k) override { log << QStringLiteral("choose %1").arg(k); }
    void silenceMissing(const QList<QByteArray>&) override {}
    void removeTrackItem(int k) override { log << QStringLiteral("remove %1").arg(k); }
    QWidget* dialogParent() override { return nullptr; }
    void clearTrackList() override {}
    void engineOpened() override {}
    void UpdateCaption() override {}
    void updateProjectLabels() override {}
};

} // namespace vumo
