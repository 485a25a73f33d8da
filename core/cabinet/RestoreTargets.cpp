// Where the tracks of a cabinet are restored.
#include "RestoreTargets.h"

#include <algorithm>
#include <filesystem>

namespace vumo::cab
{
namespace
{

namespace fs = std::filesystem;

constexpr int kMaxNameTries = 10000;

bool somethingAt(const fs::path& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// The stored path's file name, after the last folder separator of either kind.
std::string leafName(const std::string& stored)
{
    const size_t slash = stored.find_last_of("\\/");
    return slash == std::string::npos ? stored : stored.substr(slash + 1);
}

// A stored path that can be written here: absolute on this machine (a path with "\" is from
// Windows), in a folder that exists, and naming nothing or a regular file (following links).
bool usableHere(const std::string& stored)
{
    const fs::path path(stored);
    std::error_code ec;
    if (stored.find('\\') != std::string::npos || !path.is_absolute() ||
        !fs::is_directory(path.parent_path(), ec))
        return false;
    return !somethingAt(path) || fs::is_regular_file(path, ec);
}

bool isTaken(const std::vector<std::string>& taken, const std::string& path)
{
    return std::find(taken.begin(), taken.end(), canonicalPath(path)) != taken.end();
}

} // namespace

std::string canonicalPath(const std::string& path)
{
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(fs::path(path), ec);
    return ec ? fs::path(path).lexically_normal().string() : canonical.string();
}

std::string freeName(const std::string& path, const std::vector<std::string>& taken)
{
    const fs::path p(path);
    for (int n = 1; n <= kMaxNameTries; ++n)
    {
        const fs::path candidate =
            n == 1 ? p
                   : p.parent_path() /
                         (p.stem().string() + "-" + std::to_string(n) + p.extension().string());
        if (!somethingAt(candidate) && !isTaken(taken, candidate.string()))
            return candidate.string();
    }
    return {};
}

std::string planRestore(const std::vector<std::string>& stored, const std::string& appFolder,
                        const ChainEvents& events, RestorePlan& plan)
{
    const size_t count = stored.size();
    plan = {std::vector<std::string>(count), std::vector<bool>(count, false),
            std::vector<bool>(count, false)};
    std::vector<std::string> taken, existing;
    for (size_t k = 0; k < count; ++k)
        if (usableHere(stored[k]) && !isTaken(taken, stored[k]))
        {
            plan.targets[k] = stored[k];
            plan.replaces[k] = somethingAt(stored[k]);
            taken.push_back(canonicalPath(stored[k]));
            if (plan.replaces[k])
                existing.push_back(stored[k]);
        }
    const bool replace =
        !existing.empty() && events.replaceExisting && events.replaceExisting(existing);
    for (size_t k = 0; k < count; ++k)
        if (plan.replaces[k] && !replace)
        {
            taken.erase(std::find(taken.begin(), taken.end(), canonicalPath(stored[k])));
            plan.targets[k].clear();
            plan.replaces[k] = false;
        }
    for (size_t k = 0; k < count; ++k)
    {
        if (!plan.targets[k].empty())
            continue;
        const std::string beside = (fs::path(appFolder) / leafName(stored[k])).string();
        plan.targets[k] = freeName(beside, taken);
        if (plan.targets[k].empty())
            return "No free name for track " + std::to_string(k + 1) +
                   " beside the project: " + beside + " and its variants exist.";
        plan.relocated[k] = true;
        taken.push_back(canonicalPath(plan.targets[k]));
        if (events.relocated)
            events.relocated(stored[k], plan.targets[k]);
    }
    return {};
}

} // namespace vumo::cab
