// vumo-cab: packs a project into a cabinet, or unpacks a cabinet into a working project,
// headless, with the chain runner the studio uses.
//   vumo-cab create PROJECT.vum
//   vumo-cab open CABINET.cab [--replace | --keep]
// The working files go into the application folder (VUMO_HOME first, as the studio chooses it).
// Exit status: 0 done, 1 a file error, 2 bad arguments.
#include "cabinet/ChainRunner.h"
#include "cabinet/ProjectCabinet.h"
#include "settings/AppFolder.h"
#include "tools/common/ProgressBar.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace
{

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitArguments = 2;

const char kUsage[] =
    "usage: vumo-cab create PROJECT.vum\n"
    "       vumo-cab open CABINET.cab [--replace | --keep]\n"
    "\n"
    "create  packs the project file and its tracks (compressed losslessly with Shorten) into\n"
    "        APPFOLDER/TITLE/TITLE.cab and prints the cabinet's path.\n"
    "open    checks the cabinet in a private folder, restores every track to its stored path\n"
    "        (or beside the project when that folder does not exist here, or another track\n"
    "        names the same file), moves the project into the application folder (under a\n"
    "        new name when one of its name is there) and prints its path. A cabinet that\n"
    "        holds anything but its project, its restore chain and its tracks is refused.\n"
    "        --replace  replace existing track files without asking\n"
    "        --keep     keep existing track files; restore those tracks beside the project\n"
    "        Without either, vumo-cab asks on a terminal and keeps otherwise.\n"
    "The application folder is VUMO_HOME when set (never the program's folder or its ../lib,\n"
    "where code is loaded from), else the per-user data folder (~/.local/share/Vumo/Vumo).\n";

int fail(int status, const QString& message)
{
    std::fprintf(stderr, "vumo-cab: %s\n", message.toLocal8Bit().constData());
    return status;
}

bool askReplace(const std::vector<std::string>& existing)
{
    std::fprintf(stderr, "\nThe cabinet would replace %zu existing track file(s):\n",
                 existing.size());
    for (const std::string& f : existing)
        std::fprintf(stderr, "  %s\n", f.c_str());
    std::fprintf(stderr, "Replace them? [y/N] ");
    std::string answer;
    return std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

int runChain(const QString& folder, vumo::cab::ChainEvents events)
{
    vumo::tools::ProgressBar bar(::isatty(STDERR_FILENO) != 0, 1);
    events.progress = [&bar](int done, int total, const std::string& file)
    {
        bar.setTotal(total);
        bar.show(done, done, total, file.c_str());
    };
    const std::string error =
        vumo::cab::runChain(folder.toLocal8Bit().toStdString(), vumo::cab::kChainFile, events);
    return error.empty() ? kExitOk : fail(kExitFile, QString::fromLocal8Bit(error.c_str()));
}

int create(const QString& folder, const QString& projectPath)
{
    const vumo::project::ProjectReadResult read = vumo::project::readProject(projectPath);
    if (!read.ok())
        return fail(kExitFile, read.error);
    const QString absolute = QFileInfo(projectPath).absoluteFilePath();
    const QString error = vumo::cab::writeCreateFiles(folder, absolute, read.project);
    if (!error.isEmpty())
        return fail(kExitFile, error);
    if (const int status = runChain(folder, {}); status != kExitOk)
        return status;
    std::printf("%s\n", vumo::cab::cabinetPathFor(folder, read.project).toLocal8Bit().constData());
    return kExitOk;
}

int open(const QString& folder, const QString& cabinet, const QString& answer)
{
    QString base;
    const QString error =
        vumo::cab::writeOpenFiles(folder, QFileInfo(cabinet).absoluteFilePath(), base);
    if (!error.isEmpty())
        return fail(kExitFile, error);
    vumo::cab::Relocations relocations;
    std::string project;
    vumo::cab::ChainEvents events;
    events.project = vumo::cab::projectAccess();
    events.opened = [&project](const std::string& path) { project = path; };
    events.replaceExisting = [&answer](const std::vector<std::string>& existing)
    {
        if (answer == QLatin1String("--replace"))
            return true;
        if (answer == QLatin1String("--keep") || !::isatty(STDIN_FILENO))
            return false;
        return askReplace(existing);
    };
    events.relocated = [&relocations](const std::string& stored, const std::string& restored) {
        relocations.append(
            {QByteArray::fromStdString(stored), QByteArray::fromStdString(restored)});
    };
    if (const int status = runChain(folder, events); status != kExitOk)
    {
        vumo::cab::removeOpenFiles(folder);
        return status;
    }
    const vumo::cab::OpenedCabinet opened =
        vumo::cab::finishOpen(QString::fromLocal8Bit(project.c_str()), relocations);
    if (!opened.error.isEmpty())
        return fail(kExitFile, opened.error);
    for (const QString& line : opened.relocated)
        std::fprintf(stderr, "vumo-cab: restored beside the project: %s\n",
                     line.toLocal8Bit().constData());
    if (!opened.missingTracks.isEmpty())
        return fail(kExitFile, QStringLiteral("the cabinet did not restore: ") +
                                   opened.missingTracks.join(QStringLiteral(", ")));
    std::printf("%s\n", opened.projectPath.toLocal8Bit().constData());
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGXFSZ, SIG_IGN); // a write past the file size limit fails and is reported
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--help"))
    {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const bool createArgs = args.size() == 2 && args[0] == QLatin1String("create");
    const bool openArgs = args.size() >= 2 && args.size() <= 3 &&
                          args[0] == QLatin1String("open") &&
                          (args.size() == 2 || args[2] == QLatin1String("--replace") ||
                           args[2] == QLatin1String("--keep"));
    if (!createArgs && !openArgs)
    {
        std::fputs(kUsage, stderr);
        return kExitArguments;
    }
    const vumo::AppFolderChoice choice = vumo::applicationFolderChoice();
    // A VUMO_HOME that names a folder code is loaded from is passed over: say where instead.
    if (!qEnvironmentVariableIsEmpty("VUMO_HOME") && !choice.notice.isEmpty())
        std::fprintf(stderr, "vumo-cab: note: %s\n", choice.notice.toLocal8Bit().constData());
    const QString folder = choice.path;
    return createArgs ? create(folder, args[1]) : open(folder, args[1], args.value(2));
}
