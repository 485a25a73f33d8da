// The studio over the real engine (libwavorn beside the test program) and its virtual devices,
// with a few exports watched on their way: the track switches and a forced OpenLib failure.
#pragma once

#include "MainWindowFixture.h"
#include "dialogs/FrmProjProps.h"
#include "dialogs/FrmTrackProps.h"
#include "platform/WaveHeader.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QScrollBar>
#include <QtEndian>

#include <utility>
#include <vector>

namespace vumo::test
{

// Resolves the exports from the real library; SetCurTrack and OpenLib pass through spies.
struct EngineSpy
{
    static inline QLibrary* library = nullptr;
    static inline decltype(&::SetCurTrack) realSetCurTrack = nullptr;
    static inline decltype(&::OpenLib) realOpenLib = nullptr;
    static inline std::vector<std::pair<int32_t, int32_t>> switches; // (track, reload)
    static inline int32_t openLibFailure = 0; // non-zero: OpenLib answers this, opens nothing

    static int32_t SetCurTrack(int32_t track, int32_t reload)
    {
        switches.emplace_back(track, reload);
        return realSetCurTrack(track, reload);
    }
    static int32_t OpenLib(int32_t length, int32_t log)
    {
        return openLibFailure != 0 ? openLibFailure : realOpenLib(length, log);
    }

    static QFunctionPointer resolve(const char* name)
    {
        if (library == nullptr)
        {
            library =
                new QLibrary(QCoreApplication::applicationDirPath() + QStringLiteral("/wavorn"));
            if (!library->load())
                qFatal("libwavorn: %s", qPrintable(library->errorString()));
            realSetCurTrack =
                reinterpret_cast<decltype(&::SetCurTrack)>(library->resolve("SetCurTrack"));
            realOpenLib = reinterpret_cast<decltype(&::OpenLib)>(library->resolve("OpenLib"));
        }
        const QByteArray n(name);
        if (n == "SetCurTrack")
            return reinterpret_cast<QFunctionPointer>(&SetCurTrack);
        if (n == "OpenLib")
            return reinterpret_cast<QFunctionPointer>(&OpenLib);
        return library->resolve(name);
    }
};

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
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const auto header = platform::waveHeader(static_cast<uint32_t>(samples.size() / 2));
    out.writeRawData(reinterpret_cast<const char*>(header.data()), int(header.size()));
    for (int16_t s : samples)
        out << qint16(s);
    return b;
}

inline bool writeWave(const QString& path, const std::vector<int16_t>& samples)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(waveBytes(samples)) > 0;
}

// The samples of a canonical wave file (after its 44-byte header).
inline std::vector<int16_t> readWaveSamples(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    std::vector<int16_t> samples;
    for (qsizetype i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(qFromLittleEndian<int16_t>(bytes.constData() + i));
    return samples;
}

// Dialog scripts: what the user does in the Project Settings and Track Properties dialogs.
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

inline std::function<void(QDialog&)> cancelDialog()
{
    return [](QDialog& d) { d.reject(); };
}

struct StudioFixture
{
    MainWindowFixture f{&EngineSpy::resolve};
    frmVumo& w = *f.window;
    ModVumo& mod = f.mod;
    ScriptedUiServices& ui = f.ui;
    EngineApi& engine = *f.engine;

    StudioFixture()
    {
        EngineSpy::switches.clear();
        EngineSpy::openLibFailure = 0;
        // Plenty of memory, whatever the machine has.
        w.setMemoryProbe([] { return MemoryStatus{uint64_t(64) << 30, uint64_t(32) << 30}; });
        w.CLIPFILE = path(QStringLiteral("clipper.wav"));
        w.resize(900, 500);
        w.show();
    }
    ~StudioFixture()
    {
        // The engine is process-wide: the next test opens it afresh.
        if (w.session().isOpen())
            w.session().close();
    }

    QString path(const QString& name) const { return f.home.filePath(name); }

    // New with OK in both dialogs: a project of memoryMB per track with one blank track.
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

    // The current track's samples [2 * first, 2 * end) through the engine.
    std::vector<int16_t> trackSamples(int32_t firstFrame, int32_t endFrame)
    {
        std::vector<int16_t> s;
        for (int32_t i = 2 * firstFrame; i < 2 * endFrame; ++i)
            s.push_back(static_cast<int16_t>(engine.TrackRead(i)));
        return s;
    }
};

} // namespace vumo::test
