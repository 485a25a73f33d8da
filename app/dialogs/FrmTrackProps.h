// FrmTrackProps: the Track Properties dialog: the current track's title and wave file.
#pragma once

#include "model/ModVumo.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui
{
class FrmTrackProps;
}

namespace vumo
{

class UiServices;

// A track's title and wave file, as Track Properties sets them.
struct TrackNames
{
    FixedText<16> title;
    FixedText<128> fileName;
};

// Shows a track's title and file. OK needs both a title and a file name, and a file name the
// track record and the engine can hold whole, and closes with them (names()); Cancel or the
// window's close button closes without any.
class FrmTrackProps : public QDialog
{
    Q_OBJECT

public:
    FrmTrackProps(const TrackRecord& track, UiServices& ui, QWidget* parent = nullptr);
    ~FrmTrackProps() override;

    // What OK set; a text left as shown keeps its stored bytes.
    const TrackNames& names() const { return m_names; }

private:
    void browse();
    void ok();

    std::unique_ptr<Ui::FrmTrackProps> ui;
    TrackNames m_names;
    UiServices& m_services;
};

// Shows FrmTrackProps for track modally through ui: the names OK set, nothing when cancelled.
std::optional<TrackNames> runTrackProperties(UiServices& ui, const TrackRecord& track,
                                             QWidget* parent = nullptr);

} // namespace vumo
