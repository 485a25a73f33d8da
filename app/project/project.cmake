# The studio's window-free core: the safe file writer, the project file and the drum data
# model, with their Qt Test programs. Included from the top-level CMakeLists after app/app.cmake.
find_package(Qt6 REQUIRED COMPONENTS Core Test)

add_library(vumo_appcore STATIC
    app/files/SafeWrite.cpp
    app/files/WaveSampleFormat.cpp
    app/files/ReadFile.cpp
    app/project/FixedField.cpp
    app/project/ProjectFile.cpp
    app/drums/DrumData.cpp
    app/drums/DrumFile.cpp
    app/drums/DrumEdit.cpp
)
target_include_directories(vumo_appcore PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_link_libraries(vumo_appcore PUBLIC Qt6::Core vumo_waveheader vumo_files)

# Qt Test programs without windows: one test class per file. They run on QCoreApplication,
# which rejects the "-platform" argument (QTest reports it as unknown), so none is passed.
function(vumo_appcore_test name source)
    qt_add_executable(${name} ${source})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE vumo_appcore Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
endfunction()

vumo_appcore_test(tst_files tests/app/project/FilesTest.cpp)
vumo_appcore_test(tst_writefaults tests/app/project/WriteFaultTest.cpp)
