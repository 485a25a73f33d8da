// The studio's main window over a scripted UI and an isolated settings file, on test exports,
// the stand-in engine, or the real engine with the track switches and OpenLib watched.
#pragma once

#include "dialogs/FrmProjProps.h"
#include "dialogs/FrmTrackProps.h"
#include "engineapi/EngineApi.h"
#include "mainwin/frmVumo.h"
#include "model/ProjectModel.h"
#include "project/ProjectFile.h"
#include "support/FakeEngine.h"
#include "support/ScriptedUiServices.h"
#include "support/TestFiles.h"
#include "tests/engine/TestWave.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

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
    QTemporaryDir home;
    QString folder; // the application folder (VUMO_HOME) and the settings file's, in home
    ProjectModel model;
    const ModVumo& mod = model.mod();
    ScriptedUiServices ui;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<EngineBinding> binding;
    EngineApi* engine = nullptr; // the library binding, when the window runs on one
    FakeEngine* fake = nullptr;  // the stand-in, when the window runs on it
    std::unique_ptr<frmVumo> window;

    // resolver: the engine's exports by name (null: none, every call fails as missing).
    explicit MainWindowFixture(EngineApi::Resolver resolver = {}, const QString& subfolder = {})
    {
        setUp(std::make_unique<EngineApi>(
                  resolver ? std::move(resolver) : [](const char*) { return QFunctionPointer{}; }),
              subfolder);
    }

    struct Fake // the stand-in engine: every call recorded, answers from its table
    {
    };
    explicit MainWindowFixture(Fake)
    {
        auto stand = std::make_unique<FakeEngine>();
        fake = stand.get();
        setUp(std::move(stand));
    }

    Selection& sel() { return window->selection(); }
    void setTrackLength(int32_t frames)
    {
        model.setProjectProps({mod.projTitle, frames, mod.recTimeText});
    }

private:
    void setUp(std::unique_ptr<EngineBinding> api, const QString& subfolder = {})
    {
        folder = subfolder.isEmpty() ? home.path() : home.filePath(subfolder);
        QDir().mkpath(folder);
        qputenv("VUMO_HOME", QFile::encodeName(folder));
        store = std::make_unique<QSettings>(folder + QStringLiteral("/settings.ini"),
                                            QSettings::IniFormat);
        binding = std::move(api);
        engine = dynamic_cast<EngineApi*>(binding.get());
        window = std::make_unique<frmVumo>(model, *binding, ui, *store);
    }
};

// Resolves the exports from the real library, each through a spy that counts the calls;
// SetCurTrack's spy also notes the switches, OpenLib's can refuse.
struct EngineSpy
{
    static inline QLibrary* library = nullptr;
    static inline struct // the real library's exports, by name
    {
#define VUMO_SPY_SLOT(name, params, args) decltype(&::name) name; // static: null at first
        VUMO_ENGINE_EXPORTS(VUMO_SPY_SLOT)
#undef VUMO_SPY_SLOT
    } real;
    static inline int calls = 0; // export calls so far, whichever export
    static inline std::function<void(const char* name)> watch;       // told of each call first
    static inline std::vector<std::pair<int32_t, int32_t>> switches; // (track, reload)
    static inline int32_t openLibFailure = 0; // non-zero: OpenLib answers this, opens nothing

#define VUMO_SPY(name, params, args)                                                               \
    static int32_t WAVORN_CALL name params                                                         \
    {                                                                                              \
        ++calls;                                                                                   \
        if (watch)                                                                                 \
            watch(#name);                                                                          \
        return real.name args;                                                                     \
    }
    VUMO_ENGINE_EXPORTS(VUMO_SPY)
#undef VUMO_SPY
    static int32_t WAVORN_CALL setCurTrackSpy(int32_t track, int32_t reload)
    {
        switches.emplace_back(track, reload);
        return SetCurTrack(track, reload);
    }
    static int32_t WAVORN_CALL openLibSpy(int32_t length, int32_t log)
    {
        return openLibFailure != 0 ? (++calls, openLibFailure) : OpenLib(length, log);
    }

    static QFunctionPointer resolve(const char* exportName)
    {
        if (library == nullptr)
        {
            library =
                new QLibrary(QCoreApplication::applicationDirPath() + QStringLiteral("/wavorn"));
            if (!library->load())
                qFatal("libwavorn: %s", qPrintable(library->errorString()));
#define VUMO_SPY_BIND(name, params, args)                                                          \
    real.name = reinterpret_cast<decltype(&::name)>(library->resolve(#name));
            VUMO_ENGINE_EXPORTS(VUMO_SPY_BIND)
#undef VUMO_SPY_BIND
        }
        if (qstrcmp(exportName, "SetCurTrack") == 0)
            return reinterpret_cast<QFunctionPointer>(&setCurTrackSpy);
        if (qstrcmp(exportName, "OpenLib") == 0)
            return reinterpret_cast<QFunctionPointer>(&openLibSpy);
#define VUMO_SPY_FIND(name, params, args)                                                          \
    if (qstrcmp(exportName, #name) == 0 && real.name != nullptr)                                   \
        return reinterpret_cast<QFunctionPointer>(&EngineSpy::name);
        VUMO_ENGINE_EXPORTS(VUMO_SPY_FIND)
#undef VUMO_SPY_FIND
        return nullptr;
    }
};

inline void trigger(QWidget& window, const char* item)
{
    child<QAction>(window, item)->trigger();
}

// Sets the virtual devices for the whole test program (call from initTestCase).
inline void useVirtualDevices(const char* speed = "50")
{
    qputenv("VUMO_AUDIO_BACKEND", "virtual");
    qputenv("VUMO_MIDI_BACKEND", "virtual");
    qputenv("VUMO_VIRTUAL_SPEED", speed);
    qunsetenv("VUMO_VIRTUAL_OUTPUT");
    qunsetenv("VUMO_VIRTUAL_INPUT");
    qunsetenv("VUMO_VIRTUAL_MIDI_OUT");
}

// A canonical 16-bit stereo 44100 wave file of the given interleaved samples.
inline QByteArray waveBytes(const std::vector<int16_t>& samples)
{
    const std::vector<uint8_t> b = testwave::waveBytes(samples);
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

inline bool writeWave(const QString& path, const std::vector<int16_t>& samples)
{
    return putFile(path, waveBytes(samples));
}

// A saw per channel, different for each seed, never silent.
inline std::vector<int16_t> saw(int frames, int seed = 6)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        s[2 * size_t(f)] = int16_t((f * (31 + seed)) % 30000 - 15000 + 1);
        s[2 * size_t(f) + 1] = int16_t((f * (47 + 3 * seed)) % 26000 - 13000 + 1);
    }
    return s;
}

// A tone per channel (amplitude, Hz), the right one shifted by phaseRight.
inline std::vector<int16_t> tones(int frames, double left, double leftHz, double right,
                                  double rightHz, double phaseRight = 0)
{
    std::vector<int16_t> s(2 * size_t(frames));
    for (int f = 0; f < frames; ++f)
    {
        const double t = 2 * M_PI * f / 44100.0;
        s[2 * size_t(f)] = int16_t(std::lround(left * std::sin(leftHz * t)));
        s[2 * size_t(f) + 1] = int16_t(std::lround(right * std::sin(rightHz * t + phaseRight)));
    }
    return s;
}

// The samples of a canonical wave file (after its 44-byte header).
inline std::vector<int16_t> readWaveSamples(const QString& path)
{
    return testwave::readSamples(QFile::encodeName(path).toStdString());
}

// What the user does in the Project Settings and Track Properties dialogs.
inline std::function<void(QDialog&)> projectSettingsOK(int memoryMB = 0, QString title = {})
{
    return [memoryMB, title](QDialog& d)
    {
        if (memoryMB > 0)
            child<QScrollBar>(d, "vscMem")->setValue(256 - memoryMB);
        if (!title.isNull())
            child<QLineEdit>(d, "txtTitle")->setText(title);
        child<QAbstractButton>(d, "cmdOK")->click();
    };
}

inline std::function<void(QDialog&)> trackPropsOK(QString title = {}, QString fileName = {})
{
    return [title, fileName](QDialog& d)
    {
        if (!title.isNull())
            child<QLineEdit>(d, "txtTitle")->setText(title);
        if (!fileName.isNull())
            child<QLineEdit>(d, "txtFileName")->setText(fileName);
        child<QAbstractButton>(d, "OKButton")->click();
    };
}

// The window shown over the real engine (EngineSpy) or the stand-in (MainWindowFixture::Fake{}),
// with plenty of memory whatever the machine has.
struct StudioFixture : MainWindowFixture
{
    frmVumo& w = *window;

    explicit StudioFixture(const QString& subfolder = {})
        : MainWindowFixture(&EngineSpy::resolve, subfolder)
    {
        prepare();
    }
    explicit StudioFixture(Fake) : MainWindowFixture(Fake{}) { prepare(); }
    ~StudioFixture()
    {
        // The engine is process-wide: the next test opens it afresh.
        if (w.session().isOpen())
            w.session().close();
    }

    QString path(const QString& name) const { return folder + u'/' + name; }

    // New with OK in both dialogs: a project of memoryMB per track (0: as the dialog shows) with
    // one blank track.
    void newProject(int memoryMB = 1, const QString& title = QStringLiteral("untitled"))
    {
        ui.dialogs.push_back(projectSettingsOK(memoryMB, title));
        ui.dialogs.push_back(trackPropsOK());
        w.mnuFileNew();
    }

    void addTrack()
    {
        ui.dialogs.push_back(trackPropsOK());
        w.mnuTrackAdd();
    }

    QComboBox& cboTrack() { return *child<QComboBox>(w, "cboTrack"); }

    // Opens a 1 MB project "Song.vum" of tracks t0 ... of these samples; false on a failure.
    bool openSong(const std::vector<std::vector<int16_t>>& tracks)
    {
        project::ProjectData data = project::newProjectData(1);
        data.projTitle = "Song";
        bool written = true;
        for (size_t k = 0; k < tracks.size(); ++k)
        {
            const QString file = path(QStringLiteral("t%1.wav").arg(k));
            written = writeWave(file, tracks[k]) && written;
            data.tracks.append({QStringLiteral("t%1").arg(k).toUtf8(), QFile::encodeName(file)});
        }
        written = project::writeProject(path("Song.vum"), data).isEmpty() && written;
        ui.files.push_back(path("Song.vum"));
        w.mnuFileOpen();
        return written && cboTrack().count() == int(tracks.size());
    }

    // The current track's samples [2 * first, 2 * end) through the engine.
    std::vector<int16_t> trackSamples(int32_t firstFrame, int32_t endFrame)
    {
        std::vector<int16_t> s;
        for (int32_t i = 2 * firstFrame; i < 2 * endFrame; ++i)
            s.push_back(static_cast<int16_t>(binding->TrackRead(i)));
        return s;
    }

private:
    void prepare()
    {
        EngineSpy::switches.clear();
        EngineSpy::openLibFailure = 0;
        EngineSpy::watch = nullptr;
        w.setMemoryProbe([] { return MemoryStatus{uint64_t(64) << 30, uint64_t(32) << 30}; });
        w.CLIPFILE = path(QStringLiteral("clipper.wav"));
        w.resize(900, 500);
        w.show();
    }
};

} // namespace vumo::test
