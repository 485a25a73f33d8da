// CaptureCommands: "&SK1 Mode" and "&Rip MCI".
#include "commands/CaptureCommands.h"

#include "commands/StudioWindow.h"
#include "commands/TrackTable.h"
#include "commands/TransportCommands.h"
#include "engineapi/EngineBinding.h"
#include "engineapi/EngineSession.h"
#include "model/ProjectModel.h"
#include "platform/media/MediaReader.h"
#include "services/UiServices.h"
#include "view/ViewMath.h"

#include <QFile>

#include <algorithm>

namespace vumo
{

CaptureCommands::CaptureCommands(const ProjectModel& model, EngineSession& session,
                                 TransportCommands& transport, UiServices& ui, StudioWindow& window,
                                 const QString& clipFile, MediaCapture media)
    : m_model(model), m_session(session), m_transport(transport), m_ui(ui), m_window(window),
      m_clipFile(clipFile), m_media(std::move(media))
{
}

MediaCapture deviceMediaCapture()
{
    return {[](const QString& source)
            {
                return QString::fromStdString(
                    platform::media::probeMedia(QFile::encodeName(source).toStdString()));
            },
            [](const QString& source)
            {
                if (source.isEmpty())
                    qunsetenv(platform::media::kCaptureSourceVariable);
                else
                    qputenv(platform::media::kCaptureSourceVariable, QFile::encodeName(source));
            }};
}

double CaptureCommands::noteRatio(int note)
{
    static constexpr double kBase[12] = {1.0,   1.055, 1.125, 1.187, 1.25, 1.375,
                                         1.406, 1.5,   1.582, 1.688, 1.78, 1.875};
    const int n = std::clamp(note, 0, 127);
    const int octave = n / 12;
    // Octaves below the fifth divide by a power of two, those above multiply.
    return octave < 5 ? kBase[n % 12] / double(1 << (5 - octave))
                      : kBase[n % 12] * double(1 << (octave - 5));
}

bool CaptureCommands::canStart()
{
    return engineReady(m_session, m_ui) &&
           trackSelected(m_window.chosenTrack(), m_model.mod().trackCount, m_ui);
}

void CaptureCommands::renderNotes()
{
    // The notes' lengths follow their pitches: the whole track is the step.
    if (!m_window.keepStep(0, m_model.mod().trackLength, QStringLiteral("SK1 Mode")))
        return;
    EngineBinding& engine = m_session.engine();
    m_window.showMessage(QStringLiteral("Creating SK1 effect ..."));
    const int32_t sampLen = engine.LoadSK1(QFile::encodeName(m_clipFile).constData());
    const int32_t words = engine.GetRecordLength();
    for (int32_t idx = 0; idx <= words; idx += 2)
    {
        const int32_t message = engine.GetRecordData(idx + 1);
        const int note = (message >> 8) & 0xFF;
        const int32_t velocity = message / 65536;
        if (velocity <= 0)
            continue; // note-offs and note-ons of velocity 0
        const int32_t timeMs = engine.GetRecordData(idx);
        const int32_t sampPos = m_window.selection().selStart + view::MsToFrames(timeMs);
        engine.SK1(sampPos, sampLen, noteRatio(note), velocity / 128.0);
    }
    // Marks the track edited without changing a sample: the first one is written back as it is.
    engine.TrackWrite(0, engine.TrackRead(0));
    m_window.DrawTrack();
    m_window.hideMessage();
}

void CaptureCommands::mnuControlSK1()
{
    if (!canStart())
        return;
    if (m_ui.ask(QStringLiteral(
            "SK1 Mode will start playback and read MIDI data from the default MIDI input "
            "device.  It will then substitute the notes played with the contents of the "
            "clipboard as a digitized middle C note.  Are you ready to start SK1 mode?")) !=
        Answer::Yes)
        return;
    EngineBinding& engine = m_session.engine();
    m_transport.PrepareTransport();
    const StudioSettings& settings = m_model.mod().settings;
    const int32_t opened = engine.OpenMidiRec(settings.midiBufLen, settings.midiInDevice);
    if (opened != 0)
        m_ui.message(QStringLiteral("MIDI open error: %1").arg(opened));
    checkEngine(m_ui, "PlayTracks",
                engine.PlayTracks(m_window.selection().selStart, m_window.selection().selEnd));
    engine.RecordMidi(); // at once, so the notes' times count from the start of playback
    m_transport.WaitWhilePlaying();
    engine.StopTracks(m_window.selection().selStart, m_window.selection().selEnd, 0);
    engine.StopMidiRec();
    m_transport.endPass();
    // A MIDI input that did not open recorded nothing: there is nothing to render.
    if (m_ui.ask(QStringLiteral("Do you want to convert the MIDI to WAV?")) == Answer::Yes &&
        opened == 0)
        renderNotes();
    const int32_t closed = engine.CloseMidiRec();
    if (closed != 0)
        m_ui.message(QStringLiteral("MIDI close error: %1").arg(closed));
}

void CaptureCommands::mnuControlRip()
{
    if (!canStart())
        return;
    QString source;
    const Answer a = m_ui.ask(
        QStringLiteral("Do you want to browse for a multimedia file? (Select No to rip from CD.)"),
        Buttons::YesNoCancel);
    if (a == Answer::Cancel)
        return;
    if (a == Answer::Yes)
    {
        source = m_ui.browseForFile(QStringLiteral("*.mid;*.mpg;*.avi;*.wav;*.mp3;*.mov"),
                                    QStringLiteral("Open"));
        if (source.isEmpty())
            return;
    }
    else
    {
        const QString track =
            m_ui.inputBox(QStringLiteral("Enter the track number to rip (ready CD for playback)."),
                          kAppTitle, QString());
        bool numeric = false;
        track.trimmed().toInt(&numeric);
        if (!numeric)
            return;
        source = QStringLiteral("cdda:") + QString::number(track.trimmed().toInt());
    }
    // The media is checked before anything records, so a file that cannot be played leaves
    // the track as it was.
    if (const QString why = m_media.probe(source); !why.isEmpty())
    {
        m_ui.message(why, MsgIcon::Exclamation);
        return;
    }
    // As for a take, the whole track is the step.
    if (!m_transport.takeWillBeHeard() ||
        !m_window.keepStep(0, m_model.mod().trackLength, QStringLiteral("Rip MCI")))
        return;
    EngineBinding& engine = m_session.engine();
    m_media.select(source);
    m_transport.PrepareTransport();
    checkEngine(m_ui, "RecordTrack",
                engine.RecordTrack(m_window.selection().selStart, m_window.selection().selEnd,
                                   m_window.mergeRecord() ? 1 : 0));
    m_transport.WaitWhilePlaying();
    m_window.showMessage(QStringLiteral("Saving recorded track..."));
    engine.StopTracks(m_window.selection().selStart, m_window.selection().selEnd,
                      m_window.mergeRecord() ? 1 : 0);
    m_media.select(QString());
    m_transport.endPass();
    m_window.DrawTrack();
    m_window.hideMessage();
}

} // namespace vumo
