// Cabinet files through libgcab.
#include "Cabinet.h"

#include "CabinetScript.h"
#include "files/FileWrite.h"
#include "platform/files/RegularFile.h"

#include <libgcab.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

namespace vumo::cab
{
namespace
{

namespace fs = std::filesystem;

template <class T> struct GObjectDeleter
{
    void operator()(T* p) const { g_object_unref(p); }
};
template <class T> using GPtr = std::unique_ptr<T, GObjectDeleter<T>>;

struct ErrorHolder
{
    GError* error = nullptr;
    ~ErrorHolder() { g_clear_error(&error); }
    std::string text(const std::string& what) const
    {
        return what + ": " + (error ? error->message : "unknown error");
    }
};

std::string trimmed(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool equalsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y)
                      { return std::tolower(uint8_t(x)) == std::tolower(uint8_t(y)); });
}

// The name after the last folder separator of either kind.
std::string leafName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

// Hands each file libgcab packs or unpacks to the caller's progress; files the filter does not
// take are skipped.
struct ProgressCallback
{
    const CabinetProgress* progress;
    const CabinetFilter* which = nullptr;
    static gboolean onFile(GCabFile* file, gpointer self)
    {
        const auto* callback = static_cast<ProgressCallback*>(self);
        const char* name = gcab_file_get_name(file);
        if (callback->which && *callback->which && !(*callback->which)(name))
            return FALSE;
        if (callback->progress && *callback->progress)
            (*callback->progress)(name);
        return TRUE;
    }
};

} // namespace

bool readDirective(const std::string& path, Directive& directive, std::string& error)
{
    Lines lines;
    if (!readLines(path, lines, error))
        return false;
    Directive d;
    for (const std::string& raw : lines)
    {
        const std::string line = trimmed(raw);
        if (line.empty())
            continue;
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
        {
            d.files.push_back(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t equals = line.find('=');
        if (line.size() > 5 && equalsNoCase(line.substr(0, 5), ".Set ") &&
            equals != std::string::npos)
        {
            const std::string name = trimmed(line.substr(5, equals - 5));
            const std::string value = trimmed(line.substr(equals + 1));
            if (equalsNoCase(name, "CabinetName1"))
                d.cabinetName = value;
            else if (equalsNoCase(name, "DiskDirectory1"))
                d.diskDirectory = value;
            else if (equalsNoCase(name, "Compress"))
                d.compress = equalsNoCase(value, "on");
            continue; // other settings (MaxDiskSize, Cabinet) hold for one cabinet anyway
        }
        error = "the directive file " + path + " holds a line it cannot follow: " + raw;
        return false;
    }
    if (!plainName(d.cabinetName) || (!d.diskDirectory.empty() && !plainName(d.diskDirectory)))
    {
        error = "the directive file " + path + " names no cabinet, or one outside its folder";
        return false;
    }
    directive = d;
    return true;
}

std::string makeCabinet(const Directive& directive, const std::string& folder,
                        const CabinetProgress& progress)
{
    GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GPtr<GCabFolder> cabFolder(
        gcab_folder_new(directive.compress ? GCAB_COMPRESSION_MSZIP : GCAB_COMPRESSION_NONE));
    for (const std::string& name : directive.files)
    {
        const fs::path source =
            fs::path(name).is_absolute() ? fs::path(name) : folder / fs::path(name);
        std::error_code ec;
        if (!fs::is_regular_file(source, ec))
            return "cannot pack " + name + ": the file does not exist";
        GPtr<GFile> file(g_file_new_for_path(source.c_str()));
        GPtr<GCabFile> entry(gcab_file_new_with_file(leafName(name).c_str(), file.get()));
        ErrorHolder e;
        if (!gcab_folder_add_file(cabFolder.get(), entry.get(), FALSE, nullptr, &e.error))
            return e.text("cannot pack " + name);
    }
    ErrorHolder e;
    if (!gcab_cabinet_add_folder(cabinet.get(), cabFolder.get(), &e.error))
        return e.text("cannot make the cabinet");

    const fs::path dir = directive.diskDirectory.empty()
                             ? fs::path(folder)
                             : fs::path(folder) / directive.diskDirectory;
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path target = dir / directive.cabinetName;
    // The cabinet is made in memory and then written with the checked writer: libgcab does
    // not report every failed write of its output stream (a file size limit went unnoticed).
    GPtr<GOutputStream> memory(g_memory_output_stream_new_resizable());
    ProgressCallback callback{&progress};
    if (!gcab_cabinet_write_simple(cabinet.get(), memory.get(), &ProgressCallback::onFile,
                                   &callback, nullptr, &e.error) ||
        !g_output_stream_close(memory.get(), nullptr, &e.error))
        return e.text("cannot make " + target.string());
    auto* bytes = G_MEMORY_OUTPUT_STREAM(memory.get());
    return writeFileBeside(target.string(), g_memory_output_stream_get_data(bytes),
                           g_memory_output_stream_get_data_size(bytes));
}

namespace
{

// A loaded cabinet and the names of its files, in order.
struct LoadedCabinet
{
    GPtr<GCabCabinet> cabinet;
    GPtr<GInputStream> stream;
    std::vector<GCabFile*> files; // owned by the cabinet
};

bool loadCabinet(const std::string& path, LoadedCabinet& loaded, std::string& error)
{
    // Checked without blocking first: libgcab's own open would wait on a FIFO for good.
    const platform::OpenedFile checked = platform::openRegularFile(path.c_str(), kMaxCabinetBytes);
    if (!checked.file)
    {
        error = "cannot read " + path + ": " + platform::refusalText(checked, kMaxCabinetBytes);
        return false;
    }
    GPtr<GFile> file(g_file_new_for_path(path.c_str()));
    ErrorHolder e;
    loaded.stream.reset(G_INPUT_STREAM(g_file_read(file.get(), nullptr, &e.error)));
    if (!loaded.stream)
    {
        error = e.text("cannot open " + path);
        return false;
    }
    loaded.cabinet.reset(gcab_cabinet_new());
    if (!gcab_cabinet_load(loaded.cabinet.get(), loaded.stream.get(), nullptr, &e.error))
    {
        error = e.text(path + " is not a cabinet Vumo can read");
        return false;
    }
    GPtrArray* folders = gcab_cabinet_get_folders(loaded.cabinet.get());
    for (guint i = 0; i < folders->len; ++i)
    {
        GSList* list = gcab_folder_get_files(GCAB_FOLDER(g_ptr_array_index(folders, i)));
        for (GSList* l = list; l; l = l->next)
            loaded.files.push_back(GCAB_FILE(l->data));
        g_slist_free(list);
    }
    return true;
}

} // namespace

bool listCabinet(const std::string& cabinetPath, std::vector<std::string>& names,
                 std::string& error)
{
    LoadedCabinet loaded;
    if (!loadCabinet(cabinetPath, loaded, error))
        return false;
    names.clear();
    for (GCabFile* f : loaded.files)
        names.push_back(gcab_file_get_name(f));
    return true;
}

bool listCabinet(const std::string& cabinetPath, std::vector<CabinetMember>& members,
                 bool& compressed, std::string& error)
{
    LoadedCabinet loaded;
    if (!loadCabinet(cabinetPath, loaded, error))
        return false;
    members.clear();
    for (GCabFile* f : loaded.files)
        members.push_back({gcab_file_get_name(f), gcab_file_get_size(f)});
    compressed = false;
    GPtrArray* folders = gcab_cabinet_get_folders(loaded.cabinet.get());
    for (guint i = 0; i < folders->len; ++i)
        compressed =
            compressed || gcab_folder_get_comptype(GCAB_FOLDER(g_ptr_array_index(folders, i))) !=
                              GCAB_COMPRESSION_NONE;
    return true;
}

std::string extractCabinet(const std::string& cabinetPath, const std::string& folder,
                           const CabinetProgress& progress, const CabinetFilter& which)
{
    LoadedCabinet loaded;
    std::string error;
    if (!loadCabinet(cabinetPath, loaded, error))
        return error;
    for (GCabFile* f : loaded.files)
    {
        const std::string name = gcab_file_get_name(f);
        if (!plainName(name))
            return cabinetPath + " holds a file outside its folder: " + name;
        gcab_file_set_extract_name(f, (name + ".vumo-part").c_str());
    }
    std::error_code ec;
    for (GCabFile* f : loaded.files) // a part left by a killed run is never written through
        if (!which || which(gcab_file_get_name(f)))
            fs::remove(fs::path(folder) / gcab_file_get_extract_name(f), ec);
    ProgressCallback callback{&progress, &which};
    GPtr<GFile> dir(g_file_new_for_path(folder.c_str()));
    ErrorHolder e;
    const bool extracted = gcab_cabinet_extract_simple(
        loaded.cabinet.get(), dir.get(), &ProgressCallback::onFile, &callback, nullptr, &e.error);
    for (GCabFile* f : loaded.files)
    {
        if (which && !which(gcab_file_get_name(f)))
            continue;
        const fs::path part = fs::path(folder) / gcab_file_get_extract_name(f);
        // A part shorter than the file it holds was cut short: a guard against a failed write
        // that libgcab does not report (its cabinet writer misses a file size limit).
        if (extracted && error.empty() && fs::file_size(part, ec) != gcab_file_get_size(f))
            error = "cannot write " + std::string(gcab_file_get_name(f)) +
                    ": the disk is full or the file too large";
        if (extracted && error.empty())
        {
            fs::rename(part, fs::path(folder) / gcab_file_get_name(f), ec);
            if (ec)
                error = "cannot write " + std::string(gcab_file_get_name(f)) + ": " + ec.message();
        }
        fs::remove(part, ec);
    }
    return extracted ? error : e.text("cannot unpack " + cabinetPath);
}

} // namespace vumo::cab
