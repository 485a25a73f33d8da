// vumo-chain: runs a cabinet batch file with Vumo's own chain runner. The studio starts it
// the way a batch file is started and reads its progress from standard output, one event per
// line:
//   progress DONE TOTAL FILE     steps done of those known, the file the next step works on
//   echo TEXT                    an "echo" line of the chain
//   ask N                        followed by N lines "file PATH": the track files the restore
//                                would replace; the answer "yes" or "no" is read from standard
//                                input (no answer keeps them)
//   relocated STORED<TAB>PATH    a track restored beside the project instead of its stored path
//   opened PATH                  the opened cabinet's project file, in the application folder
//   failed MESSAGE               the chain stopped (exit status 1)
//   done                         every step succeeded (exit status 0)
// Exit status 2: bad arguments. A write past the file size limit fails and is reported like any
// other (SIGXFSZ is ignored).
#include "cabinet/ChainRunner.h"
#include "cabinet/ProjectCabinet.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const bool help = argc == 2 && std::string(argv[1]) == "--help";
    if (argc != 3)
    {
        std::fprintf(help ? stdout : stderr,
                     "usage: vumo-chain FOLDER BATCHFILE\n"
                     "Runs the cabinet batch file (\"vumocab.bat\") in FOLDER.\n");
        return help ? 0 : 2;
    }
    vumo::cab::ChainEvents events;
    events.progress = [](int done, int total, const std::string& file)
    {
        std::printf("progress %d %d %s\n", done, total, file.c_str());
        std::fflush(stdout);
    };
    events.echo = [](const std::string& text)
    {
        std::printf("echo %s\n", text.c_str());
        std::fflush(stdout);
    };
    events.replaceExisting = [](const std::vector<std::string>& existing)
    {
        std::printf("ask %zu\n", existing.size());
        for (const std::string& file : existing)
            std::printf("file %s\n", file.c_str());
        std::fflush(stdout);
        std::string answer;
        return std::getline(std::cin, answer) && answer == "yes";
    };
    events.relocated = [](const std::string& stored, const std::string& restored)
    {
        std::printf("relocated %s\t%s\n", stored.c_str(), restored.c_str());
        std::fflush(stdout);
    };
    events.opened = [](const std::string& path)
    {
        std::printf("opened %s\n", path.c_str());
        std::fflush(stdout);
    };
    events.project = vumo::cab::projectAccess();
    const std::string error = vumo::cab::runChain(argv[1], argv[2], events);
    if (!error.empty())
    {
        std::printf("failed %s\n", error.c_str());
        return 1;
    }
    std::printf("done\n");
    return 0;
}
