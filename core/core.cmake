# The studio core: the documents and file formats the studio and the command-line tools share
# (the project file, drum songs and maps, effect presets and chains, cabinets with their Shorten
# streams and chain runner, the application folder, the safe writers and readers). Qt Core at
# most, no widgets; it includes nothing of app/ or tools/.
find_package(Qt6 REQUIRED COMPONENTS Core)
pkg_check_modules(GCAB REQUIRED IMPORTED_TARGET libgcab-1.0)
include(core/fx/fx_catalog.cmake)

add_library(vumo_core STATIC
    core/files/EndedRuns.cpp
    core/files/FileWrite.cpp
    core/files/ReadFile.cpp
    core/files/SafeWrite.cpp
    core/files/WaveSampleFormat.cpp
    core/settings/AppFolder.cpp
    core/project/FixedField.cpp
    core/project/ProjectFile.cpp
    core/drums/DrumData.cpp
    core/drums/DrumEdit.cpp
    core/drums/DrumFile.cpp
    core/fx/EffectChain.cpp
    core/fx/EffectSetting.cpp
    core/fx/FxFileWrite.cpp
    core/shorten/Shorten.cpp
    core/shorten/ShortenFile.cpp
    core/cabinet/Cabinet.cpp
    core/cabinet/CabinetOpen.cpp
    core/cabinet/CabinetScript.cpp
    core/cabinet/ChainRunner.cpp
    core/cabinet/ProjectCabinet.cpp
    core/cabinet/RestoreTargets.cpp
)
# Its headers are included by area: "project/ProjectFile.h", "cabinet/Cabinet.h".
target_include_directories(vumo_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/core)
target_link_libraries(vumo_core PUBLIC Qt6::Core vumo_fxcatalog vumo_waveheader vumo_files
                                       PkgConfig::GCAB)
