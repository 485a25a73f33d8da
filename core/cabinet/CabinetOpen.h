// Opening a cabinet from elsewhere: the chain's "extract", "REN" and "unshortn.bat" steps. A
// cabinet is input from a stranger, so it is unpacked into a fresh private folder (made with
// mkdtemp in the application folder) and checked there whole before anything leaves it:
//  - it holds exactly the files a Vumo cabinet holds: one project file (".vum"), "unshortn.bat"
//    and t0.shn ... tN.shn, one for each of the project's tracks; it is stored uncompressed, and
//    no file is larger than what it holds can take;
//  - its restore chain is, line for line, the one Create Cab writes for its project's tracks;
//  - each track goes to its stored path or beside the project (RestoreTargets.h), never over a
//    file without the user's answer, and the project's records follow;
//  - each stream decodes straight to disk, beside its target, into no more frames than the
//    project's track length and no more bytes than the disk has free.
// Only then are the tracks renamed into place and the project moved into the application folder
// (under a new name when one of its name is there). Every outcome removes the private folder;
// a failure leaves nothing the cabinet brought. A private folder left by an open that was killed
// (its process id is in the name) is removed by the next open.
#pragma once

#include "ChainRunner.h"
#include "RestoreTargets.h"
#include "files/FileWrite.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vumo::cab
{

class CabinetOpen
{
public:
    // stepStarted is called before each restore step with the file it works on.
    CabinetOpen(const std::string& appFolder, const ChainEvents& events,
                std::function<void(const std::string& file)> stepStarted);
    ~CabinetOpen();
    CabinetOpen(const CabinetOpen&) = delete;
    CabinetOpen& operator=(const CabinetOpen&) = delete;

    // "extract /y CABINET *.*": unpacks and checks the cabinet. An empty text, or why it was
    // refused (nothing was changed).
    std::string unpack(const std::string& cabinetPath);
    // "REN FROM TO": renames the project file the cabinet brought, and nothing else.
    void rename(const std::string& from, const std::string& to);
    // "unshortn.bat": restores the tracks and moves the project out. An empty text, or what
    // failed (nothing the cabinet brought remains).
    std::string restore();

    // The steps of the restore chain (known once unpacked).
    int restoreSteps() const { return int(m_steps.size()); }

private:
    std::string makePrivateFolder();
    std::string checkMembers(const std::string& cabinetPath);
    std::string checkStreams();
    std::string checkRestoreChain();
    std::string decode(int track);
    std::string commit();
    std::string inPrivate(const std::string& name) const;

    std::string m_appFolder;
    const ChainEvents& m_events;
    std::function<void(const std::string&)> m_stepStarted;
    std::string m_private;               // the private folder; empty until made
    std::string m_project;               // the project file's name in the private folder
    std::vector<uint64_t> m_streamBytes; // by track number; 0: not in the cabinet
    CabinetRecords m_records;
    std::vector<ChainStep> m_steps; // the restore chain
    RestorePlan m_plan;
    std::vector<std::unique_ptr<PartFile>> m_parts; // by track, decoded and not yet in place
    bool m_removeMarker = false;
};

} // namespace vumo::cab
