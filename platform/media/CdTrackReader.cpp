// CdTrackReader: reads an audio CD track with libcdio-paranoia (error-correcting reads), or a
// track of the virtual CD that VUMO_VIRTUAL_CD names (in the media module).
#include "MediaModule.h"

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace platform::media
{

namespace
{

constexpr const char* kNoCd = "There is no audio CD in the drive.";

std::string noTrack(int track)
{
    return "The CD has no track " + std::to_string(track) + ".";
}

// CD audio is already 16-bit stereo at 44100 Hz: one sector holds 588 frames.
class CdTrackReader : public MediaReader
{
public:
    ~CdTrackReader() override
    {
        if (m_paranoia != nullptr)
            cdio_paranoia_free(m_paranoia);
        if (m_drive != nullptr)
            cdio_cddap_close(m_drive);
    }

    std::string open(int track)
    {
        m_drive = cdio_cddap_find_a_cdrom(CDDA_MESSAGE_FORGETIT, nullptr);
        if (m_drive == nullptr || cdio_cddap_open(m_drive) != 0)
            return kNoCd;
        if (track < 1 || track > int(cdio_cddap_tracks(m_drive)))
            return noTrack(track);
        if (cdio_cddap_track_audiop(m_drive, track_t(track)) == 0)
            return "Track " + std::to_string(track) + " of the CD holds no audio.";
        m_next = cdio_cddap_track_firstsector(m_drive, track_t(track));
        m_last = cdio_cddap_track_lastsector(m_drive, track_t(track));
        if (m_next < 0 || m_last < m_next)
            return noTrack(track);
        m_paranoia = cdio_paranoia_init(m_drive);
        if (m_paranoia == nullptr)
            return kNoCd;
        cdio_paranoia_modeset(m_paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        cdio_paranoia_seek(m_paranoia, m_next, SEEK_SET);
        return {};
    }

    bool read(std::vector<int16_t>& samples, std::string& error) override
    {
        if (m_next > m_last)
            return true;
        const int16_t* sector = cdio_paranoia_read(m_paranoia, nullptr);
        if (sector == nullptr)
        {
            error = "The CD cannot be read at sector " + std::to_string(m_next) + ".";
            return false;
        }
        ++m_next;
        samples.insert(samples.end(), sector, sector + CDIO_CD_FRAMESIZE_RAW / 2);
        return true;
    }

private:
    cdrom_drive_t* m_drive = nullptr;
    cdrom_paranoia_t* m_paranoia = nullptr;
    lsn_t m_next = 0;
    lsn_t m_last = -1;
};

MediaOpenResult openVirtualCdTrack(const std::filesystem::path& folder, int track)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return {nullptr, kNoCd};
    char name[16];
    std::snprintf(name, sizeof name, "track%02d.wav", track);
    const std::filesystem::path file = folder / name;
    if (!std::filesystem::is_regular_file(file, ec))
        return {nullptr, noTrack(track)};
    return openFileWithFfmpeg(file.string());
}

} // namespace

MediaOpenResult openCdTrackWithParanoia(int track)
{
    if (const char* folder = std::getenv("VUMO_VIRTUAL_CD"); folder != nullptr && *folder != '\0')
        return openVirtualCdTrack(folder, track);
    auto reader = std::make_unique<CdTrackReader>();
    if (std::string error = reader->open(track); !error.empty())
        return {nullptr, std::move(error)};
    return {std::move(reader), {}};
}

} // namespace platform::media
