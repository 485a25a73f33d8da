# Programs that draw the studio's windows over made-up projects and save them as the PNGs in
# docs/. They stand on the studio and the tests' scripted answers; they are built, never
# installed, and nothing includes them.
function(vumo_screenshot name source)
    qt_add_executable(${name} tools/screenshots/${source})
    target_link_libraries(${name} PRIVATE vumo_app_testsupport)
    # The studio's engine and chain runner are loaded and started from the program folder.
    add_dependencies(${name} vumo-chain)
    if(TARGET wavorn)
        add_dependencies(${name} wavorn)
    endif()
endfunction()

# The main window over a made-up track (docs/screenshot-main.png), or Options, or the browser.
vumo_screenshot(vumo_screenshot ScreenshotMain.cpp)
# Three tracks recorded through the engine's virtual input (docs/screenshot-project.png).
vumo_screenshot(vumo_project_screenshot ProjectScreenshotMain.cpp)
# The effect dialog or the chain window (docs/screenshot-fx.png, -fxlist.png).
vumo_screenshot(vumo_fx_screenshot FxScreenshotMain.cpp)
# The mixer over a made-up project (docs/screenshot-mixer.png).
vumo_screenshot(vumo_mixer_screenshot MixerScreenshotMain.cpp)
# The drum editor with a programmed pattern (docs/screenshot-drums.png).
vumo_screenshot(vumo_drums_screenshot DrumsScreenshotMain.cpp)
# A cabinet chain run in the chain window (docs/screenshot-chain.png).
vumo_screenshot(vumo_chain_screenshot ChainScreenshotMain.cpp)
