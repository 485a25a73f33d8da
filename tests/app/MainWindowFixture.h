// A main window over a scripted UI, an isolated settings file and an engine that answers
// from test functions, for the Qt Test programs of the studio.
#pragma once

#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ModVumo.h"
#include "support/FakeEngine.h"
#include "support/ScriptedUiServices.h"

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace vumo::test
{

// A control of parent by its objectName; a missing one ends the test program.
template <typename T> T* child(QWidget& parent, const char* name)
{
    T* c = parent.findChild<T*>(QString::fromLatin1(name));
    if (c == nullptr)
        qFatal("no control %s", name);
    return c;
}

struct MainWindowFixture
{
    QTemporaryDir home; // the application folder (VUMO_HOME) and the settings file
    ModVumo mod;
    ScriptedUiServices ui;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<EngineBinding> binding;
    EngineApi* engine = nullptr; // the library binding, when the window runs on one
    FakeEngine* fake = nullptr;  // the stand-in, when the window runs on it
    std::unique_ptr<frmVumo> window;

    // resolver: the engine's exports by name (null: none, every call fails as missing).
    explicit MainWindowFixture(EngineApi::Resolver resolver = {})
    {
        setUp(std::make_unique<EngineApi>(
            resolver ? std::move(resolver) : [](const char*) { return QFunctionPointer{}; }));
    }

    // The real engine library beside the test program.
    struct RealEngine
    {
    };
    explicit MainWindowFixture(RealEngine) { setUp(std::make_unique<EngineApi>()); }

    // The stand-in engine: every call recorded, answers from its table.
    struct Fake
    {
    };
    explicit MainWindowFixture(Fake)
    {
        auto stand = std::make_unique<FakeEngine>();
        fake = stand.get();
        setUp(std::move(stand));
    }

private:
    void setUp(std::unique_ptr<EngineBinding> api)
    {
        qputenv("VUMO_HOME", home.path().toLocal8Bit());
        store = std::make_unique<QSettings>(home.filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
        binding = std::move(api);
        engine = dynamic_cast<EngineApi*>(binding.get());
        window = std::make_unique<frmVumo>(mod, *binding, ui, *store);
    }
};

} // namespace vumo::test
