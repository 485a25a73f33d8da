// Opening a cabinet from elsewhere, through a private folder.
#include "CabinetOpen.h"

#include "Cabinet.h"
#include "files/EndedRuns.h"
#include "shorten/Shorten.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <csignal>
#include <unistd.h>

namespace vumo::cab
{
namespace
{

namespace fs = std::filesystem;

// More than a project file of 17 tracks (2934 bytes) ever holds.
constexpr uint64_t kMaxProjectBytes = 4096;
// What a track file may hold besides its samples (its header and any chunks after them).
constexpr uint64_t kChunkAllowance = 1 << 20;
// The private folder's name: this prefix, the process id, "-" and six random characters.
constexpr const char* kPrivatePrefix = ".vumo-cab-";
// Left free on the disk by what a cabinet unpacks.
constexpr uint64_t kSpaceReserve = 4 << 20;

std::string refused(const std::string& why)
{
    return "Not a valid Vumo CAB! " + why + " Nothing was changed.";
}

std::string inQuotes(const std::string& name)
{
    // Appended rather than concatenated, which g++ 12 at -O3 takes for an overlapping copy.
    std::string quoted(1, '"');
    quoted += printable(name);
    quoted += '"';
    return quoted;
}

bool endsWithVum(const std::string& name)
{
    if (name.size() <= 4 || name[name.size() - 4] != '.')
        return false;
    std::string ext = name.substr(name.size() - 3);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return char(c | 0x20); });
    return ext == "vum";
}

// The track number of a stream's name "t" + k + ".shn" as Create Cab writes it; -1 for any
// other name.
int streamTrack(const std::string& name)
{
    for (int k = 0; k < 100; ++k)
        if (name == compressedName(k))
            return k;
    return -1;
}

// Bytes a stream of a track of trackLength frames may take: twice its samples, more than the
// coding ever adds.
uint64_t maxStreamBytes(int32_t trackLength)
{
    return 8 * uint64_t(trackLength) + kChunkAllowance;
}

uint64_t freeBytes(const std::string& folder)
{
    std::error_code ec;
    const fs::space_info space = fs::space(folder, ec);
    return ec || space.available < kSpaceReserve ? 0 : space.available - kSpaceReserve;
}

} // namespace

CabinetOpen::CabinetOpen(const std::string& appFolder, const ChainEvents& events,
                         std::function<void(const std::string& file)> stepStarted)
    : m_appFolder(appFolder), m_events(events), m_stepStarted(std::move(stepStarted))
{
}

CabinetOpen::~CabinetOpen()
{
    m_parts.clear(); // parts not moved into place go
    std::error_code ec;
    if (!m_private.empty())
        fs::remove_all(m_private, ec);
}

std::string CabinetOpen::inPrivate(const std::string& name) const
{
    return (fs::path(m_private) / name).string();
}

std::string CabinetOpen::makePrivateFolder()
{
    // Private folders of opens killed halfway would keep their streams for good.
    files::removeFoldersOfEndedRuns(m_appFolder, kPrivatePrefix);
    std::string pattern =
        (fs::path(m_appFolder) / (kPrivatePrefix + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    if (!::mkdtemp(pattern.data()))
        return "Cannot make a private folder for the cabinet in " + m_appFolder + ": " +
               std::strerror(errno);
    m_private = pattern;
    return {};
}

std::string CabinetOpen::unpack(const std::string& cabinetPath)
{
    if (!m_events.project.read || !m_events.project.rewrite)
        return "The cabinet chain cannot open a cabinet without the project reader.";
    if (std::string error = makePrivateFolder(); !error.empty())
        return error;
    if (std::string error = checkMembers(cabinetPath); !error.empty())
        return error;
    const auto notStream = [](const std::string& name) { return streamTrack(name) < 0; };
    if (std::string error = extractCabinet(cabinetPath, m_private, {}, notStream); !error.empty())
        return refused(error + ".");
    CabinetRecords records;
    if (std::string error = m_events.project.read(inPrivate(m_project), records); !error.empty())
        return refused("Its project file " + inQuotes(m_project) + " cannot be used: " + error);
    m_records = records;
    if (std::string error = checkStreams(); !error.empty())
        return error;
    if (std::string error = checkRestoreChain(); !error.empty())
        return error;
    const auto stream = [](const std::string& name) { return streamTrack(name) >= 0; };
    if (std::string error = extractCabinet(cabinetPath, m_private, {}, stream); !error.empty())
        return refused(error + ".");
    return {};
}

// The files a Vumo cabinet holds, by name and size, before a byte of them is unpacked.
std::string CabinetOpen::checkMembers(const std::string& cabinetPath)
{
    std::vector<CabinetMember> members;
    bool compressed = false;
    std::string error;
    if (!listCabinet(cabinetPath, members, compressed, error))
        return refused(error + ".");
    if (compressed)
        return refused("Its files are stored compressed; a Vumo cabinet stores them as they are.");
    bool restoreChain = false;
    for (const CabinetMember& m : members)
    {
        const int track = streamTrack(m.name);
        const bool project = endsWithVum(m.name) && !hasControlCharacter(m.name) &&
                             m.name.find_first_of("/\\:") == std::string::npos;
        if (project && !m_project.empty())
            return refused("It holds two project files, " + inQuotes(m_project) + " and " +
                           inQuotes(m.name) + ".");
        if (project && m.size > kMaxProjectBytes)
            return refused("Its project file " + inQuotes(m.name) + " is too large.");
        if (m.name == kRestoreFile && (restoreChain || m.size > kMaxChainFileBytes))
            return refused("It holds more than one restore chain, or one too large.");
        if (track >= 0 && size_t(track) < m_streamBytes.size() && m_streamBytes[size_t(track)])
            return refused("It holds " + m.name + " twice.");
        if (!project && m.name != kRestoreFile && track < 0)
            return refused("It holds the file " + inQuotes(m.name) +
                           ", which is not part of a Vumo project.");
        if (project)
            m_project = m.name;
        restoreChain = restoreChain || m.name == kRestoreFile;
        if (track >= 0)
        {
            m_streamBytes.resize(std::max(m_streamBytes.size(), size_t(track) + 1), 0);
            m_streamBytes[size_t(track)] = std::max<uint64_t>(m.size, 1);
        }
    }
    if (m_project.empty() || !restoreChain)
        return refused(m_project.empty() ? "It holds no project file (.vum)."
                                         : "It holds no restore chain (unshortn.bat).");
    return {};
}

// One stream for each of the project's tracks, none larger than its track can take, and room
// for all of them on the disk.
std::string CabinetOpen::checkStreams()
{
    const size_t tracks = m_records.trackFiles.size();
    uint64_t total = 0;
    for (size_t k = 0; k < std::max(tracks, m_streamBytes.size()); ++k)
    {
        const uint64_t bytes = k < m_streamBytes.size() ? m_streamBytes[k] : 0;
        if (k >= tracks && bytes > 0)
            return refused("It holds " + compressedName(int(k)) + ", but its project has " +
                           std::to_string(tracks) + " track(s).");
        if (bytes == 0)
            return refused("It holds no " + compressedName(int(k)) + " for track " +
                           std::to_string(k + 1) + ".");
        if (bytes > maxStreamBytes(m_records.trackLength))
            return refused("Its " + compressedName(int(k)) + " holds " + std::to_string(bytes) +
                           " bytes, more than a track of the project's length can take.");
        total += bytes;
    }
    if (total > freeBytes(m_private))
        return "The cabinet's tracks need " + std::to_string(total) +
               " bytes, more than the disk has free. Nothing was changed.";
    return {};
}

// The restore chain must be the one Create Cab writes for the project's tracks, line for line.
std::string CabinetOpen::checkRestoreChain()
{
    Lines lines;
    std::string error;
    if (!readLines(inPrivate(kRestoreFile), lines, error))
        return refused(error + ".");
    if (!parseChain(lines, kRestoreFile, true, m_steps, error))
        return error;
    const Lines expected = restoreChainLines({{}, {}, m_records.trackFiles});
    for (size_t i = 0; i < std::max(expected.size(), m_steps.size()); ++i)
    {
        const std::string got = i < m_steps.size() ? m_steps[i].line : "(the end)";
        const std::string want = i < expected.size() ? expected[i] : "(the end)";
        if (got != want)
            return refused("Its restore chain does not match its project's tracks: line " +
                           std::to_string(i + 1) + " is " + inQuotes(got) + " where " +
                           inQuotes(want) + " belongs.");
    }
    return {};
}

void CabinetOpen::rename(const std::string& from, const std::string& to)
{
    // As "REN" does: nothing when the file is missing or the new name is taken. Only the project
    // file in the private folder is ever renamed.
    std::error_code ec;
    if (from != m_project || fs::exists(inPrivate(to), ec))
        return;
    fs::rename(inPrivate(from), inPrivate(to), ec);
    if (!ec)
        m_project = to;
}

std::string CabinetOpen::restore()
{
    const std::vector<std::string>& stored = m_records.trackFiles;
    if (std::string error = planRestore(stored, m_appFolder, m_events, m_plan); !error.empty())
        return error;
    if (m_plan.targets != stored)
        if (std::string error = m_events.project.rewrite(inPrivate(m_project), m_plan.targets);
            !error.empty())
            return "The tracks cannot be restored beside the project: " + error;
    m_parts.resize(stored.size());
    std::error_code ec;
    for (const ChainStep& step : m_steps)
    {
        if (m_stepStarted)
            m_stepStarted(step.kind == ChainStep::Echo ? std::string() : step.first);
        if (step.kind == ChainStep::Expand)
        {
            if (std::string error = decode(streamTrack(step.first)); !error.empty())
                return error;
        }
        else if (step.kind == ChainStep::Delete && step.first == kDirectiveFile)
            m_removeMarker = true; // once everything is in place
        else if (step.kind == ChainStep::Delete)
            fs::remove(inPrivate(step.first), ec);
        else if (step.kind == ChainStep::Echo && m_events.echo)
            m_events.echo(step.first);
    }
    return commit();
}

// Decodes a track's stream into a part beside its target.
std::string CabinetOpen::decode(int track)
{
    const size_t k = size_t(track);
    auto part = std::make_unique<PartFile>(m_plan.targets[k]);
    if (!part->open())
        return "Track " + std::to_string(k + 1) + ": " + part->error();
    DecodeLimits limits;
    limits.maxFrames = uint64_t(m_records.trackLength);
    limits.framesWhy = "the project's track length";
    const uint64_t trackBytes = 4 * uint64_t(m_records.trackLength) + kChunkAllowance;
    const uint64_t free = freeBytes(fs::path(m_plan.targets[k]).parent_path().string());
    limits.maxBytes = std::min(trackBytes, free);
    limits.bytesWhy = free < trackBytes ? "the space free on the disk" : "a track can take";
    std::string error;
    if (!shortenDecodeToPart(inPrivate(compressedName(track)), *part, error, limits))
        return "Track " + std::to_string(k + 1) + " cannot be restored from " +
               compressedName(track) + ": " + error + ". Nothing was changed.";
    m_parts[k] = std::move(part);
    return {};
}

// Moves everything into place: the tracks, then the project that names them.
std::string CabinetOpen::commit()
{
    std::error_code ec;
    for (size_t k = 0; k < m_parts.size(); ++k)
        if (m_parts[k] && !m_parts[k]->commit())
        {
            const std::string error = m_parts[k]->error();
            for (size_t done = 0; done < k; ++done) // new files go; replaced ones cannot return
                if (!m_plan.replaces[done])
                    fs::remove(m_plan.targets[done], ec);
            return "Track " + std::to_string(k + 1) + " cannot be restored: " + error + ".";
        }
    const std::string project = freeName((fs::path(m_appFolder) / m_project).string());
    ec.clear();
    if (!project.empty())
        fs::rename(inPrivate(m_project), project, ec);
    if (project.empty() || ec)
    {
        for (size_t k = 0; k < m_parts.size(); ++k)
            if (!m_plan.replaces[k])
                fs::remove(m_plan.targets[k], ec);
        return "The project file cannot be moved into " + m_appFolder + ": " + ec.message();
    }
    fs::rename(inPrivate(kRestoreFile), fs::path(m_appFolder) / kRestoreFile, ec);
    if (m_removeMarker)
        fs::remove(fs::path(m_appFolder) / kDirectiveFile, ec);
    if (m_events.opened)
        m_events.opened(project);
    return {};
}

} // namespace vumo::cab
