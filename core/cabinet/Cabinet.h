// Cabinet files (".cab"), made and unpacked with libgcab: the chain's "MakeCAB.EXE /F" and
// "extract /y" steps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vumo::cab
{

// Called with the name of each file as it is packed or unpacked.
using CabinetProgress = std::function<void(const std::string& file)>;

// What a directive file says: the cabinet's name and folder, whether to compress, and the files
// in packing order (as written, without their quotes).
struct Directive
{
    std::string cabinetName;
    std::string diskDirectory;
    bool compress = false;
    std::vector<std::string> files;
};

// Reads a directive file: ".Set Name = value" lines and quoted file names. Other lines, and a
// directive without a cabinet name, give an error naming the line.
bool readDirective(const std::string& path, Directive& directive, std::string& error);

// Packs the directive's files into folder / diskDirectory / cabinetName (the folder is made when
// missing). Relative file names are taken from `folder`; each file is stored under its own name
// without its folders. The cabinet is written beside its name and renamed over it when complete.
// Returns an empty text or the reason it failed.
std::string makeCabinet(const Directive& directive, const std::string& folder,
                        const CabinetProgress& progress = {});

// The largest cabinet read: the format's offsets are 32 bits wide.
inline constexpr uint64_t kMaxCabinetBytes = uint64_t(1) << 32;

// A file in a cabinet: its name and the size it unpacks to.
struct CabinetMember
{
    std::string name;
    uint64_t size = 0;
};

// The names of the files a cabinet holds; an error for a file that is not a cabinet. Only a
// regular file of at most kMaxCabinetBytes is read: a FIFO, a device or a folder is refused at
// once.
bool listCabinet(const std::string& cabinetPath, std::vector<std::string>& names,
                 std::string& error);
// The same with each file's size; compressed tells whether any of them is stored compressed.
bool listCabinet(const std::string& cabinetPath, std::vector<CabinetMember>& members,
                 bool& compressed, std::string& error);

// Which files of a cabinet to unpack, by name.
using CabinetFilter = std::function<bool(const std::string& name)>;

// Unpacks the files of the cabinet that `which` takes (unset: all) into folder, replacing files
// of the same name. A cabinet that holds a name with a folder part ("..", "/", "\", a drive) is
// refused before anything is written. Returns an empty text or the reason it failed; a failure
// leaves no partial file.
std::string extractCabinet(const std::string& cabinetPath, const std::string& folder,
                           const CabinetProgress& progress = {}, const CabinetFilter& which = {});

} // namespace vumo::cab
