// Cabinets from strangers through vumo-cab on a machine whose application folder holds decoys:
// each row one attack, refused with nothing changed or opened writing only its project and tracks.
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetScript.h"
#include "project/ProjectFile.h"
#include "shorten/Shorten.h"

#include "tests/SpecialFiles.h"
#include "tests/engine/TestWave.h"
#include "tests/tools/CommandRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include <sys/mount.h>

using testwave::TempDir;
namespace fs = std::filesystem;
namespace project = vumo::project;
using Bytes = std::vector<uint8_t>;

namespace
{

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// Every entry below the roots: a file's bytes, a link's target, or the kind of anything else.
std::map<std::string, Bytes> snapshot(std::initializer_list<fs::path> roots)
{
    std::map<std::string, Bytes> files;
    for (const fs::path& root : roots)
        for (const auto& entry : fs::recursive_directory_iterator(root))
        {
            const fs::file_type type = entry.symlink_status().type();
            files[entry.path().string()] =
                type == fs::file_type::regular   ? testwave::readBytes(entry.path().string())
                : type == fs::file_type::symlink ? bytesOf(fs::read_symlink(entry.path()))
                                                 : bytesOf("kind " + std::to_string(int(type)));
        }
    return files;
}

// The user's machine: app is the application and program folder (on a small disk of its own when
// diskBytes is given), user holds the user's own files, source is where the cabinet arrives.
struct Machine
{
    TempDir app, user, source;
    bool mounted = false;

    explicit Machine(uint64_t diskBytes = 0)
    {
        mounted = diskBytes > 0 && ::mount("tmpfs", app.path().c_str(), "tmpfs", 0,
                                           ("size=" + std::to_string(diskBytes)).c_str()) == 0;
        for (const char* decoy : {"libwavorn.so", "vumo-chain", "clipper.wav", "vumo.htm"})
            testwave::writeBytes(app.file(decoy), bytesOf(std::string("decoy ") + decoy));
        testwave::writeBytes(app.file("SongName.vum"), bytesOf("the user's own project"));
        fs::create_directories(user.path() / "song");
        fs::create_directories(user.path() / "mine");
        testwave::writeBytes(user.file("mine/mine.wav"), testwave::waveBytes(testwave::ramp(10)));
    }
    ~Machine()
    {
        if (mounted)
            ::umount2(app.path().c_str(), MNT_DETACH);
    }
};

// A cabinet as Create Cab makes it, before a row changes it: "Song.vum" of two tracks of 8000
// frames each in the user's song folder, their streams and the restore chain.
struct Cab
{
    std::string name = "Song.cab";
    std::string projectName = "Song.vum";
    project::ProjectData project;
    std::vector<Bytes> waves; // what each stream decodes to
    std::optional<vumo::cab::Lines> restore;
    std::vector<std::pair<std::string, Bytes>> extra;
    bool compress = false;
};

std::string track(const Machine& m, int k)
{
    return m.user.file("song/take" + std::to_string(k) + ".wav");
}

Cab songCab(const Machine& m)
{
    Cab c;
    c.project = project::newProjectData(1);
    c.project.projTitle = "Song";
    c.project.trackLength = 8000;
    for (int k = 0; k < 2; ++k)
    {
        c.project.tracks.append({"T" + QByteArray::number(k), track(m, k + 1).c_str()});
        c.waves.push_back(testwave::waveBytes(testwave::ramp(3000 + 1000 * k, 5000 * k + 1)));
    }
    return c;
}

std::string build(const Cab& c, const Machine& m)
{
    const fs::path staging = m.source.path() / "staging";
    fs::create_directories(staging);
    vumo::cab::Directive d{c.name, {}, c.compress, {(staging / c.projectName).string()}};
    d.files.push_back((staging / "unshortn.bat").string());
    const auto add = [&](const std::string& name, const Bytes& bytes)
    {
        testwave::writeBytes((staging / name).string(), bytes);
        d.files.push_back((staging / name).string());
    };
    EXPECT_EQ(project::writeProject(QString::fromStdString(d.files[0]), c.project), QString());
    vumo::cab::CabinetProject records;
    for (const auto& t : c.project.tracks)
        records.trackFiles.push_back(t.fileName.toStdString());
    EXPECT_EQ(vumo::cab::writeLines(d.files[1],
                                    c.restore.value_or(vumo::cab::restoreChainLines(records))),
              "");
    for (size_t k = 0; k < c.waves.size(); ++k)
    {
        Bytes stream;
        std::string error;
        EXPECT_TRUE(vumo::cab::shortenEncode(c.waves[k], stream, error)) << error;
        add(vumo::cab::compressedName(int(k)), stream);
    }
    for (const auto& [name, bytes] : c.extra)
        add(name, bytes);
    EXPECT_EQ(vumo::cab::makeCabinet(d, m.source.path().string()), "");
    return m.source.file(c.name);
}

tooltest::CommandRun vumoCab(const Machine& m, const std::string& args,
                             const std::string& before = "")
{
    return tooltest::runCommand("cd '" + m.source.path().string() + "' && " + before +
                                    " VUMO_HOME='" + m.app.path().string() +
                                    "' timeout 20 " VUMO_CAB_PROGRAM " " + args +
                                    " 2>&1 </dev/null",
                                true);
}

using Setup = std::function<void(Cab&, Machine&)>;

struct OpenRow
{
    const char* attack;
    Setup setup;
    const char* outcome; // a text of the refusal, or the project's name in the application folder
    bool refused = true;
    const char* answer = "--keep";
    uint64_t diskBytes = 0;  // the application folder on a disk this small
    const char* before = ""; // shell commands before vumo-cab
};

// The cabinet also holds a member of that name: the bytes of text, or else the first track's wave.
Setup member(const char* name, std::optional<std::string> text = {})
{
    return [=](Cab& c, Machine&) { c.extra = {{name, text ? bytesOf(*text) : c.waves[0]}}; };
}

// The restore chain given, "$1" and "$2" standing for the tracks' files, "$U" for the user's.
Setup restore(vumo::cab::Lines lines)
{
    return [=](Cab& c, Machine& m)
    {
        c.restore = lines;
        for (std::string& line : *c.restore)
            for (const auto& [mark, path] : {std::pair{"$1", track(m, 1)},
                                             {"$2", track(m, 2)},
                                             {"$U", m.user.path().string()}})
                if (const size_t at = line.find(mark); at != std::string::npos)
                    line.replace(at, 2, path);
    };
}

// The user's own takes in both tracks' files.
void userTakes(Machine& m)
{
    for (int k : {1, 2})
        testwave::writeBytes(track(m, k), bytesOf("the user's take"));
}

// Track 2 of 200000 silent frames, the project's track length.
void longTrack(Cab& c)
{
    c.project.trackLength = 200000;
    c.waves[1] = testwave::waveBytes(std::vector<int16_t>(2 * 200000, 0));
}

const OpenRow kOpenRows[] = {
    {"a new engine", member("libwavorn.so", "evil"),
     "\"libwavorn.so\", which is not part of a Vumo project"},
    {"a new chain runner", member("vumo-chain", "evil"), "\"vumo-chain\""},
    {"the clipboard file", member("clipper.wav"), "\"clipper.wav\""},
    {"the help page", member("vumo.htm", "<html>"), "\"vumo.htm\""},
    {"a file of a track's name", member("take1.wav"), "\"take1.wav\""},
    {"two projects", member("Other.vum", std::string(282, '\0')), "two project files"},
    {"a stream beyond the tracks", member("t2.shn", ""),
     "It holds t2.shn, but its project has 2 track(s)"},
    {"restore lines swapped",
     restore({"shortn32.exe -x t0.shn $2", "del t0.shn", "shortn32.exe -x t1.shn $1", "del t1.shn",
              "del vumo.ddf", "echo finis!"}),
     "line 1 is"},
    {"a restore into a folder of the user's",
     restore({"shortn32.exe -x t0.shn $U/mine/new.wav", "del t0.shn", "shortn32.exe -x t1.shn $2",
              "del t1.shn", "del vumo.ddf", "echo finis!"}),
     "does not match its project's tracks"},
    {"a stream restored twice", restore({"shortn32.exe -x t0.shn $1", "shortn32.exe -x t0.shn $2"}),
     "it restores t0.shn a second time"},
    {"the marker deleted early",
     restore({"del vumo.ddf", "shortn32.exe -x t0.shn $1", "del t0.shn",
              "shortn32.exe -x t1.shn $2", "del t1.shn", "echo finis!"}),
     "line 1 is \"del vumo.ddf\""},
    {"a Shorten bomb",
     [](Cab& c, Machine&) { c.waves[1] = testwave::waveBytes(testwave::ramp(9000)); },
     "more than 8000 sample frames, the project's track length"},
    {"a compressed cabinet", [](Cab& c, Machine&) { c.compress = true; }, "stored compressed"},
    {"no project", [](Cab& c, Machine&) { c.projectName = "Song.txt"; }, "\"Song.txt\""},
    {"a failed open that kept the user's tracks",
     [](Cab& c, Machine& m)
     { userTakes(m), c.waves[1] = testwave::waveBytes(testwave::ramp(9000)); },
     "more than 8000 sample frames"},
    {"tracks larger than the free space", // track 2 restored beside the project
     [](Cab& c, Machine&) { longTrack(c), c.project.tracks[1].fileName = "C:\\song\\take2.wav"; },
     "the space free on the disk", true, "--keep", (4 << 20) + (600 << 10)},
    {"a write past the file size limit", [](Cab& c, Machine&) { longTrack(c); }, "File too large",
     true, "--keep", 0, "ulimit -c 0; ulimit -f 200;"},
    {"a folder where a track's file belongs", // the track restored beside the project instead
     [](Cab&, Machine& m) { fs::create_directories(track(m, 2)); }, "Song.vum", false, "--replace"},
    {"two tracks naming one file",
     [](Cab& c, Machine&) { c.project.tracks[1].fileName = c.project.tracks[0].fileName; },
     "Song.vum", false},
    {"two tracks of one file name from folders missing here",
     [](Cab& c, Machine&)
     {
         c.project.tracks[0].fileName = "C:\\a\\take.wav",
         c.project.tracks[1].fileName = "/nowhere/take.wav";
     },
     "Song.vum", false},
    {"the user's own SongName.vum beside a long cabinet name",
     [](Cab& c, Machine&) { c.name = "MyLongSongName.cab", c.projectName = "SongName.vum"; },
     "MyLongSongName.vum", false},
    {"a project of the name already there",
     [](Cab&, Machine& m) { testwave::writeBytes(m.app.file("Song.vum"), bytesOf("mine")); },
     "Song-2.vum", false},
    {"a renamed cabinet", [](Cab& c, Machine&) { c.name = "Song (2).cab"; }, "Song.vum", false},
    {"existing tracks replaced (after a killed open)",
     [](Cab&, Machine& m)
     {
         userTakes(m);
         fs::create_directories(m.app.path() / ".vumo-cab-999999999-AbCdEf");
         testwave::writeBytes(m.app.file(".vumo-cab-999999999-AbCdEf/t0.shn"), {'x'});
     },
     "Song.vum", false, "--replace"},
};

} // namespace

TEST(HostileCabinet, IsRefusedWithNothingChangedOrOpensWritingOnlyItsProjectAndTracks)
{
    for (const OpenRow& row : kOpenRows)
    {
        SCOPED_TRACE(row.attack);
        Machine m(row.diskBytes);
        if (row.diskBytes > 0 && !m.mounted)
            continue; // mounting a small disk needs root
        Cab c = songCab(m);
        row.setup(c, m);
        const std::string cabinet = build(c, m);
        const auto before = snapshot({m.app.path(), m.user.path()});
        const tooltest::CommandRun run =
            vumoCab(m, "open '" + cabinet + "' " + row.answer, row.before);
        const auto after = snapshot({m.app.path(), m.user.path()});
        if (row.refused)
        {
            EXPECT_EQ(run.status, 1) << run.out;
            EXPECT_NE(run.out.find(row.outcome), std::string::npos) << run.out;
            EXPECT_TRUE(after == before) << run.out;
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.out;
        const std::string projectPath = run.out.substr(run.out.rfind('\n') + 1);
        EXPECT_EQ(projectPath, m.app.file(row.outcome));
        const project::ProjectReadResult opened =
            project::readProject(QString::fromStdString(projectPath));
        ASSERT_TRUE(opened.ok());
        ASSERT_EQ(opened.project.tracks.size(), 2);
        // Each track holds its audio in a file of its own; nothing else changed but the chain's
        // files.
        std::vector<std::string> allowed = {projectPath, m.app.file("vumocab.bat"),
                                            m.app.file("unshortn.bat")};
        for (int k = 0; k < 2; ++k)
        {
            allowed.push_back(opened.project.tracks[k].fileName.toStdString());
            EXPECT_EQ(testwave::readBytes(allowed.back()), c.waves[size_t(k)]) << allowed.back();
        }
        EXPECT_NE(allowed[3], allowed[4]);
        for (const auto& [path, bytes] : after)
        {
            const bool changed = before.count(path) == 0 || before.at(path) != bytes;
            EXPECT_TRUE(!changed || std::count(allowed.begin(), allowed.end(), path)) << path;
        }
        for (const auto& [path, bytes] : before) // but a killed open's private folder
            EXPECT_EQ(after.count(path), path.find("/.vumo-cab-") == std::string::npos) << path;
    }
}

TEST(HostileCabinet, CreateRefusesTrackPathsThatAreNotWaveFilesOrHoldControlCharacters)
{
    // (the record of track 1, or "title": the project's title holds a line feed; the refusal)
    std::vector<std::pair<std::string, std::string>> rows = {
        {"a.wav\nextract /y /home/me/secret.txt *.*", "is damaged: track 1: The track file name"},
        {"title", "title \"So?ng\" holds a control character"}};
    const TempDir special;
    for (const auto& [what, path] : specialfiles::make(special.path()))
        rows.emplace_back(path, specialfiles::refusalOf(what));
    for (const auto& [record, refusal] : rows)
    {
        SCOPED_TRACE(record);
        Machine m;
        Cab c = songCab(m);
        testwave::writeBytes(track(m, 1), c.waves[0]);
        testwave::writeBytes(track(m, 2), c.waves[1]);
        if (record == "title")
            c.project.projTitle = "So\nng";
        else // the writer refuses a line feed: the record is put in byte by byte
            c.project.tracks[0].fileName = QByteArray(qsizetype(record.size()), 'x');
        const std::string projectPath = m.user.file("Song.vum");
        ASSERT_EQ(project::writeProject(QString::fromStdString(projectPath), c.project), QString());
        Bytes file = testwave::readBytes(projectPath);
        if (record != "title")
            std::copy(record.begin(), record.end(), file.begin() + 282 + 16);
        testwave::writeBytes(projectPath, file);
        const auto before = snapshot({m.app.path(), m.user.path()});
        const tooltest::CommandRun run = vumoCab(m, "create '" + projectPath + "'");
        EXPECT_EQ(run.status, 1) << run.out; // not 124: it returned at once
        EXPECT_NE(run.out.find(refusal), std::string::npos) << run.out;
        EXPECT_TRUE(snapshot({m.app.path(), m.user.path()}) == before);
    }
}
