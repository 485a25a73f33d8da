// The cabinet fuzz targets' machine: an application folder holding decoys of the program folder,
// and a user folder, at a fixed place for the seeds' tracks. openAndCheck opens a cabinet as
// vumo-cab does and traps when, before the restore is accepted, anything outside the private
// folder changed; when a refusal left any file changed (but its completion marker); or when an
// opened cabinet changed anything but its project, restore chain and tracks' files.
#pragma once

#include "cabinet/CabinetScript.h"
#include "cabinet/ChainRunner.h"
#include "cabinet/ProjectCabinet.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fuzz
{

namespace fs = std::filesystem;

class CabinetSandbox
{
public:
    explicit CabinetSandbox(const std::string& root) : m_root(root) {}
    ~CabinetSandbox()
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    std::string app() const { return m_root + "/app"; }
    std::string user() const { return m_root + "/user"; }

    void openAndCheck(const std::string& cabinet)
    {
        reset();
        std::string base;
        const vumo::cab::Lines chain = vumo::cab::openChainLines(cabinet, base);
        if (chain.empty())
            return;
        vumo::cab::writeLines(app() + "/" + vumo::cab::kDirectiveFile, {vumo::cab::kMarkerText});
        vumo::cab::writeLines(app() + "/" + vumo::cab::kChainFile, chain);
        const Files before = snapshot();
        bool accepted = false;
        std::string project;
        vumo::cab::ChainEvents events;
        events.project = vumo::cab::projectAccess();
        events.opened = [&](const std::string& path) { project = path; };
        events.progress = [&](int, int, const std::string& file)
        {
            if (!accepted && !file.empty() && file != cabinet && file.find(".vum") == npos)
            {
                accepted = true; // the first restore step: nothing has left the private folder
                check(snapshot() == before);
            }
        };
        const std::string error = vumo::cab::runChain(app(), vumo::cab::kChainFile, events);
        Files after = snapshot();
        check(!m_privateFound); // every outcome removes the private folder
        if (!error.empty())
        {
            Files expected = before;
            expected.erase(app() + "/" + vumo::cab::kDirectiveFile);
            check(after == expected && project.empty());
            return;
        }
        std::vector<std::string> allowed = {project, app() + "/" + vumo::cab::kRestoreFile};
        vumo::cab::CabinetRecords records;
        check(events.project.read(project, records).empty());
        allowed.insert(allowed.end(), records.trackFiles.begin(), records.trackFiles.end());
        for (const auto& [path, bytes] : after)
            if (!before.count(path) || before.at(path) != bytes)
                check(std::count(allowed.begin(), allowed.end(), path) == 1);
        for (const auto& [path, bytes] : before)
            check(after.count(path) || path == app() + "/" + vumo::cab::kDirectiveFile);
    }

private:
    using Files = std::map<std::string, std::vector<char>>;
    static constexpr size_t npos = std::string::npos;

    static void check(bool holds)
    {
        if (!holds)
            __builtin_trap();
    }

    // A fresh machine: decoys in the application folder, the user's song folder empty.
    void reset()
    {
        std::error_code ec;
        fs::remove_all(m_root, ec);
        fs::create_directories(app());
        fs::create_directories(user() + "/song");
        for (const char* decoy : {"libwavorn.so", "vumo-chain", "clipper.wav", "SongName.vum"})
            std::ofstream(app() + "/" + decoy) << "decoy " << decoy;
        std::ofstream(user() + "/mine.wav") << "the user's own take";
    }

    // The files of the machine but the private folder's (m_privateFound: whether it is there).
    Files snapshot()
    {
        Files files;
        std::error_code ec;
        m_privateFound = false;
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ec))
            if (entry.path().string().find("/.vumo-cab-") != npos)
                m_privateFound = true;
            else if (entry.is_regular_file(ec) && !entry.is_symlink(ec))
            {
                std::ifstream in(entry.path(), std::ios::binary);
                files[entry.path().string()].assign(std::istreambuf_iterator<char>(in), {});
            }
            else
                files[entry.path().string()] = {'?'};
        return files;
    }

    std::string m_root;
    bool m_privateFound = false;
};

} // namespace fuzz
