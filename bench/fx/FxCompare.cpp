// fx_compare: times vumo-fx file to file against single-threaded SoX and ffmpeg doing the nearest
// equivalent effect, in the same run, and prints the ratios. Not a test: run it by hand (figures
// in bench/fx-results.md).
//
//   fx_compare VUMO_FX [WORK_FOLDER] [RUNS] [OTHER_VUMO_FX]
//
// WORK_FOLDER (default /tmp/vumo-fx-compare) gets a 10-minute and a 30-second stereo 16-bit
// 44100 Hz file of pink noise (made with sox when missing). Each round runs every command of a
// comparison once, in turn; before each run its output file is removed and the disk synced
// (untimed), so no run pays for the one before. A run is timed from fork to exit (wall time) and
// its peak resident memory taken from the kernel. Medians of RUNS rounds (default 7). Pin the
// whole program to one core (taskset -c 1 fx_compare ...): the commands inherit it.
// The reference "plain read + write" copies the 10-minute file to a new file in 1 MiB pieces in
// a forked process (read and write only, no start-up of a program); "plain + sync" also syncs
// the copy to the disk before it ends, as vumo-fx's writer does before it renames its part file
// into place. OTHER_VUMO_FX (for example
// a build of the previous commit) adds a column for it. FX_COMPARE_ONLY=TEXT runs only the rows
// whose names hold TEXT.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{

struct Sample
{
    double seconds = 0;    // wall time
    double cpuSeconds = 0; // user + system time of the run
    double peakMiB = 0;
};

struct Comparison
{
    const char* name;
    const char* input;  // "in.wav" (10 minutes) or "in30.wav" (30 seconds)
    const char* vumo;   // vumo-fx effect
    const char* sox;    // sox effect
    const char* ffmpeg; // ffmpeg -af filter, or with a second input: the -filter_complex graph
    const char* ffmpegInput = nullptr; // a lavfi source as the second input (an impulse response)
};

// The rows first, then the other per-sample effects.
const Comparison kComparisons[] = {
    {"gain x2", "in.wav", "1:32:255:127", "vol 2", "volume=2"},
    {"echo", "in.wav", "3:40:128:127", "echo 1 1 58 0.5", "aecho=1:1:58:0.5"},
    {"band pass", "in.wav", "7:20:80:127", "sinc -n 129 1723-6890", "[0:a][1:a]afir",
     "sinc=hp=1723:lp=6890"},
    {"2-voice chorus", "in.wav", "2:128:64:127", "chorus 0.7 0.9 55 0.4 0.25 2 -t",
     "chorus=0.7:0.9:55:0.4:0.25:2"},
    {"reverse", "in.wav", "19", "reverse", "areverse"},
    {"FFT pitch (30 s)", "in30.wav", "26:255", "pitch 1200", "rubberband=pitch=2"},
    {"negate (L-R)", "in.wav", "18", "remix 1v1,2v-1 1v1,2v-1", "pan=stereo|c0=c0-c1|c1=c0-c1"},
    {"mirror (swap)", "in.wav", "15", "remix 2 1", "pan=stereo|c0=c1|c1=c0"},
    {"shift 28 frames", "in.wav", "20:100", "delay 28s 0", "adelay=28S|0S"},
};

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos)
    {
        const size_t end = text.find(' ', at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// Runs `child` in a forked process; exits the child with its result.
Sample timed(const std::function<int()>& child)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(child());
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "fx_compare: a run failed (status %d)\n", status);
    const auto secondsOf = [](const timeval& t)
    { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return {seconds, secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime),
            double(usage.ru_maxrss) / 1024.0};
}

Sample runProgram(const std::vector<std::string>& argv)
{
    return timed(
        [&]
        {
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            execvp(args[0], args.data());
            return 127;
        });
}

Sample plainCopy(const std::string& in, const std::string& out, bool syncToDisk)
{
    return timed(
        [&]
        {
            const int from = open(in.c_str(), O_RDONLY);
            const int to = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            std::vector<char> piece(size_t(1) << 20);
            ssize_t n = 0;
            while ((n = read(from, piece.data(), piece.size())) > 0)
                if (write(to, piece.data(), size_t(n)) != n)
                    return 1;
            if (syncToDisk && fsync(to) != 0)
                return 1;
            return close(to) == 0 && n == 0 ? 0 : 1;
        });
}

// The medians of wall and CPU time (each on its own) and the highest peak.
Sample median(std::vector<Sample> runs)
{
    const auto middle = [&](auto field)
    {
        std::vector<double> v;
        for (const Sample& s : runs)
            v.push_back(s.*field);
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    Sample m{middle(&Sample::seconds), middle(&Sample::cpuSeconds), 0};
    for (const Sample& s : runs)
        m.peakMiB = std::max(m.peakMiB, s.peakMiB);
    return m;
}

void fresh(const std::string& output)
{
    unlink(output.c_str());
    sync();
}

struct Row
{
    std::string name;
    std::vector<Sample> samples; // one per command
};

// Every command of a row, RUNS rounds, each in turn.
Row measure(const std::string& name, const std::vector<std::vector<std::string>>& commands,
            const std::vector<std::string>& outputs, int runs)
{
    std::vector<std::vector<Sample>> all(commands.size());
    for (int round = 0; round < runs; ++round)
        for (size_t c = 0; c < commands.size(); ++c)
        {
            fresh(outputs[c]);
            all[c].push_back(runProgram(commands[c]));
        }
    Row row{name, {}};
    for (const auto& runsOfOne : all)
        row.samples.push_back(median(runsOfOne));
    return row;
}

std::vector<std::vector<std::string>> commandsFor(const Comparison& c,
                                                  const std::vector<std::string>& vumos)
{
    std::vector<std::vector<std::string>> commands;
    for (size_t i = 0; i < vumos.size(); ++i)
        commands.push_back(
            {vumos[i], "--no-progress", c.input, "out-vumo" + std::to_string(i) + ".wav", c.vumo});
    std::vector<std::string> sox = {"sox", "-D", "-V1", c.input, "out-sox.wav"};
    for (const std::string& w : split(c.sox))
        sox.push_back(w);
    commands.push_back(sox);
    std::vector<std::string> ff = {
        "ffmpeg", "-v", "error", "-y", "-filter_threads", "1", "-filter_complex_threads",
        "1",      "-i", c.input};
    if (c.ffmpegInput != nullptr)
        ff.insert(ff.end(), {"-f", "lavfi", "-i", c.ffmpegInput, "-filter_complex", c.ffmpeg});
    else
        ff.insert(ff.end(), {"-af", c.ffmpeg});
    ff.insert(ff.end(), {"-threads", "1", "out-ffmpeg.wav"});
    commands.push_back(ff);
    return commands;
}

void makeInputs()
{
    if (access("in.wav", R_OK) != 0)
        std::system("sox -n -r 44100 -c 2 -b 16 in.wav synth 600 pinknoise pinknoise vol 0.4");
    if (access("in30.wav", R_OK) != 0)
        std::system("sox -n -r 44100 -c 2 -b 16 in30.wav synth 30 pinknoise pinknoise vol 0.4");
}

std::string timeText(const Sample& s)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s (%.3f)", s.seconds, s.cpuSeconds);
    return text;
}

std::string ratioText(double wall, double cpu)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2fx (%.2fx)", wall, cpu);
    return text;
}

void printRow(const Comparison& c, const std::vector<std::string>& vumos, int runs,
              const Sample& plain, const Sample& synced)
{
    std::vector<std::string> outputs;
    for (size_t i = 0; i < vumos.size(); ++i)
        outputs.push_back("out-vumo" + std::to_string(i) + ".wav");
    outputs.push_back("out-sox.wav");
    outputs.push_back("out-ffmpeg.wav");
    const Row r = measure(c.name, commandsFor(c, vumos), outputs, runs);
    const Sample& v = r.samples[0];
    const Sample& sox = r.samples[vumos.size()];
    const Sample& ff = r.samples[vumos.size() + 1];
    std::printf("| %s | %s | %.0f MiB | ", c.name, timeText(v).c_str(), v.peakMiB);
    if (vumos.size() > 1)
        std::printf("%s, %.0f MiB | ", timeText(r.samples[1]).c_str(), r.samples[1].peakMiB);
    const bool long10 = std::string(c.input) == "in.wav";
    const auto against = [&](const Sample& p)
    { return long10 ? ratioText(v.seconds / p.seconds, v.cpuSeconds / p.cpuSeconds) : "-"; };
    std::printf("%s | %s | %s | %s | %s |\n", timeText(sox).c_str(), timeText(ff).c_str(),
                ratioText(std::min(sox.seconds, ff.seconds) / v.seconds,
                          std::min(sox.cpuSeconds, ff.cpuSeconds) / v.cpuSeconds)
                    .c_str(),
                against(plain).c_str(), against(synced).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: fx_compare VUMO_FX [WORK_FOLDER] [RUNS] [OTHER_VUMO_FX]\n");
        return 2;
    }
    std::vector<std::string> vumos = {realpath(argv[1], nullptr)};
    const std::string work = argc > 2 ? argv[2] : "/tmp/vumo-fx-compare";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    if (argc > 4)
        vumos.push_back(realpath(argv[4], nullptr));
    std::system(("mkdir -p '" + work + "'").c_str());
    if (chdir(work.c_str()) != 0)
        return 1;
    makeInputs();

    std::vector<Sample> plain, synced, help;
    for (int i = 0; i < runs; ++i)
    {
        fresh("out-plain.wav");
        plain.push_back(plainCopy("in.wav", "out-plain.wav", false));
        fresh("out-plain.wav");
        synced.push_back(plainCopy("in.wav", "out-plain.wav", true));
    }
    for (int i = 0; i < std::max(20, 3 * runs); ++i)
        help.push_back(runProgram({vumos[0], "--help"}));
    const Sample p = median(plain), ps = median(synced), h = median(help);
    std::printf("load average at start: ");
    std::fflush(stdout);
    std::system("cut -d' ' -f1-3 /proc/loadavg");
    std::printf("plain read + write of in.wav: %s, with the sync: %s; vumo-fx --help: %.1f ms, "
                "%.1f MiB\n\n",
                timeText(p).c_str(), timeText(ps).c_str(), h.seconds * 1e3, h.peakMiB);
    std::printf("Times: medians of wall time (of CPU time). Ratios: wall (CPU).\n\n| Work | "
                "vumo-fx | peak | %ssox | ffmpeg | fastest peer / vumo-fx | vumo-fx / plain "
                "| vumo-fx / plain + sync |\n|---|---:|---:|%s---:|---:|---:|---:|---:|\n",
                vumos.size() > 1 ? "other vumo-fx | " : "", vumos.size() > 1 ? "---:|" : "");
    const char* only = std::getenv("FX_COMPARE_ONLY"); // a part of the names of the rows to run
    for (const Comparison& c : kComparisons)
        if (only == nullptr || std::string(c.name).find(only) != std::string::npos)
            printRow(c, vumos, runs, p, ps);
    std::printf("load average at end: ");
    std::fflush(stdout);
    std::system("cut -d' ' -f1-3 /proc/loadavg");
    return 0;
}
