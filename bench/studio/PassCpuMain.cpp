// vumo_pass_cpu: how much of the window thread a Play pass takes while the transport follows it
// (the thread's CPU time over the wall time of a pass of about a second on the virtual output).
// Not a test: run it by hand; the transport should leave the thread mostly idle.
#include "../../tests/app/StudioFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace
{

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vumo::test::useVirtualDevices("50");
    vumo::test::StudioFixture s;
    s.newProject(16); // 95 s of track, under 2 s at 50 times real time
    QTimer::singleShot(1000, &s.w, [&] { s.w.mnuControlStop(); });
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuSeconds();
    s.w.mnuControlPlay();
    const double cpuUsed = threadCpuSeconds() - cpu;
    const double wallUsed = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("Play pass: %.3f s of window-thread CPU in %.3f s (%.0f %%)\n", cpuUsed, wallUsed,
                100.0 * cpuUsed / wallUsed);
    return 0;
}
