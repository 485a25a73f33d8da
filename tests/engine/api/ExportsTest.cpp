// The engine's lifecycle, track table, premix, save/undo rules, trace log and MIDI queue, driven
// through the C exports of libwavorn on the virtual devices.
#if !defined(_WIN32) // FIFOs, terminals and endless devices are POSIX's
#include "tests/SpecialFiles.h"
#endif
#include "tests/engine/ExportFixture.h"
#include "tests/platform/PlatformTestSupport.h"

#include <fstream>
#include <functional>

using namespace testwave;

using Lifecycle = ExportFixture;
using Premix = ExportFixture;
using Edits = ExportFixture;

TEST_F(Lifecycle, RefusesCallsBeforeOpenLibBadLengthsASecondOpenBadSlotsAndLongNames)
{
    for (const int32_t result :
         {CloseLib(), TrackRead(0), TrackWrite(0, 5), SetTrackAttr(0, 255, 128),
          SetTrackInfo(0, "x.wav"), SetCurTrack(0, 1), PlayTracks(0, 100),
          FXIt(1, 0, 100, 16, 255, 128), SaveEdits(), SK1(0, 10, 1.0, 1.0), LoadSK1("x.wav")})
        EXPECT_EQ(result, -1);
    for (int32_t frames : {0, -44100, 256 * 262144 + 1})
        EXPECT_EQ(OpenLib(frames, 0), 11) << frames;
    ASSERT_EQ(OpenLib(1000, 0), 0);
    EXPECT_EQ(OpenLib(2000, 0), 4);
    EXPECT_EQ(std::pair(TrackRead(2 * 1000 - 1), TrackRead(2 * 1000)), std::pair(0, -1));
    for (int32_t t : {32, 255, -1})
        EXPECT_EQ(SetTrackInfo(t, "a.wav") + SetCurTrack(t, 1), -2) << t;
    EXPECT_EQ(SetTrackInfo(256 + 31, std::string(127, 'y').c_str()), 0); // slot 31
    writeStereo(dir.file("keep.wav"), ramp(1000, 3));
    ASSERT_EQ(SetTrackInfo(0, dir.file("keep.wav").c_str()), 0);
    EXPECT_EQ(SetTrackInfo(0, std::string(128, 'x').c_str()), -1); // the old name stays
    EXPECT_EQ(SetTrackInfo(0, nullptr), -1);
    EXPECT_EQ(SetCurTrack(0, 1), 0);
    EXPECT_EQ(TrackRead(0), 3);
    EXPECT_EQ(CloseLib(), 0);
    EXPECT_EQ(TrackRead(0), -1);
}

TEST_F(Premix, MixesEveryAudibleTrackButTheCurrentOnePieceByPieceWithItsGains)
{
    // Mixed piece by piece; a shorter file ends in silence; muted, refused, cleared: left out.
    const int32_t n = 300000;
    const auto a = ramp(n, 1000), b = ramp(123457, 20000), c = ramp(n, 5);
    openTracks(n, {a, b, c, ramp(n, 9), ramp(n, 7)},
               {{255, 128}, {128, 0}, {200, 255}, {0, 128}, {255, 128}});
    writeBytes(trackFile(4), {'R', 'I', 'F'});
    ASSERT_EQ(SetCurTrack(2, 1), 0);
    std::vector<int16_t> premix(2 * size_t(n), 0), current = premix;
    mixInto(premix, a, gains(255, 128));
    mixInto(premix, b, gains(128, 0));
    auto expected = premix;
    mixInto(expected, c, gains(200, 255));
    mixInto(current, c, gains(200, 255));
    const auto mix = [&]
    {
        EXPECT_EQ(SaveAsWave(0, n, dir.file("mix.wav").c_str()), 0);
        return readSamples(dir.file("mix.wav"));
    };
    EXPECT_EQ(mix(), expected);
    SetTrackAttr(2, 0, 128); // the current track silent: the mix is the premix alone
    EXPECT_EQ(mix(), premix);
    ClearTracks();
    SetTrackAttr(2, 200, 255);
    ASSERT_EQ(SetCurTrack(2, 1), 0);
    EXPECT_EQ(mix(), current);
    EXPECT_EQ(SaveAsWave(0, 10, dir.file("no/such/dir.wav").c_str()), -1);
}

TEST_F(Edits, SaveEditsAndSwitchingWritePendingEditsAndUndoRevertsToTheFile)
{
    openTracks(100, {ramp(100, 10), ramp(100, 500)}, {{255, 128}, {255, 128}}, 0);
    const auto before = readBytes(trackFile(0));
    for (int32_t i : {200, -1, INT32_MIN})
        EXPECT_EQ(TrackWrite(i, 1), -1) << i;
    EXPECT_EQ(SetCurTrack(0, 0), 0); // refused writes leave nothing pending to write
    EXPECT_EQ(readBytes(trackFile(0)), before);
    EXPECT_EQ(TrackWrite(4, 777), 0);
    EXPECT_EQ(Undo(), 0);
    EXPECT_EQ(TrackRead(4), 12);
    EXPECT_EQ(TrackWrite(4, 0x12345), 0); // the low 16 bits are stored
    EXPECT_EQ(SaveEdits(), 0);
    EXPECT_EQ(readSamples(trackFile(0))[4], 0x2345);
    EXPECT_EQ(Undo(), 0);
    EXPECT_EQ(TrackRead(4), 0x2345);
    TrackWrite(0, 31000);
    std::filesystem::remove(trackFile(0));
    EXPECT_EQ(Undo(), 15); // a refused file keeps the edits, still pending
    EXPECT_EQ(TrackRead(0), 31000);
    EXPECT_EQ(SaveEdits(), 0);
    EXPECT_EQ(readSamples(trackFile(0))[0], 31000);
    // Switching without reload writes the edits and keeps the buffer as it is.
    auto kept = readSamples(trackFile(0));
    TrackWrite(2, -42);
    kept[2] = -42;
    EXPECT_EQ(SetCurTrack(1, 0), 0);
    EXPECT_EQ(readSamples(trackFile(0)), kept);
    EXPECT_EQ(trackSamples(100), kept); // no reload: the buffer stays
    TrackWrite(3, 99);
    kept[3] = 99;
    EXPECT_EQ(SetCurTrack(1, 1), 0); // the kept buffer is written as track 1, then reloaded
    EXPECT_EQ(readSamples(trackFile(1)), kept);
}

TEST_F(Edits, FailedWritesKeepTheEditsPendingAndInARecoveryFile)
{
    openTracks(100, {ramp(100, 10)}, {{255, 128}}, 0);
    TrackWrite(6, 1111);
    std::filesystem::remove_all(dir.path()); // the folder vanishes (a removed drive)
    EXPECT_EQ(SaveEdits(), -1);
    std::filesystem::create_directories(dir.path()); // the drive is back: a retry succeeds
    EXPECT_EQ(SaveEdits(), 0);
    EXPECT_EQ(readSamples(trackFile(0)).at(6), 1111);
    TrackWrite(6, 2222);
    std::filesystem::remove_all(dir.path());
    const auto recovered = std::filesystem::temp_directory_path() / "vumo-recovered-t0.wav";
    std::filesystem::remove(recovered);
    EXPECT_EQ(SetCurTrack(0, 0), -1); // switching keeps the edits in a recovery file
    EXPECT_EQ(readSamples(recovered.string()).at(6), 2222);
    std::filesystem::remove(recovered);
    EXPECT_EQ(TrackRead(6), 2222);
}

#if !defined(_WIN32)
TEST_F(Edits, SpecialFilesAreRefusedAtOnceAsTracksPastesAndClipsAndNeverWaitedOnForASave)
{
    openTracks(100, {ramp(100, 10), ramp(100, 20)}, {{255, 128}, {255, 128}}, 0);
    const auto special = specialfiles::make(dir.path() / "special");
    const int32_t saves[] = {-1, -1, 0, -1, 0}; // nobody reads the FIFO; a terminal takes none
    for (size_t row = 0; row < special.size(); ++row)
    {
        const auto& [what, path] = special[row];
        SCOPED_TRACE(what);
        const specialfiles::HangGuard guard(what);
        ASSERT_EQ(SetTrackInfo(1, path.c_str()), 0);
        ASSERT_EQ(SetCurTrack(0, 1), 0); // the premix leaves it out
        EXPECT_EQ(PasteFrom(0, 50, path.c_str(), 0), 15);
        EXPECT_EQ(LoadSK1(path.c_str()), 0);
        EXPECT_EQ(trackSamples(100), ramp(100, 10));
        EXPECT_EQ(SetCurTrack(1, 1), 15);
        EXPECT_EQ(Undo(), 15);
        TrackWrite(0, 5);
        EXPECT_EQ(SaveEdits(), saves[row]);
        ASSERT_EQ(SetTrackInfo(1, trackFile(1).c_str()), 0);
        ASSERT_EQ(SetCurTrack(0, 1), 0);
    }
    // Nothing but the FIFO and the sparse file (replaced by the last save) is in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "special"), {}), 2);
    EXPECT_TRUE(std::filesystem::is_fifo(special[0].second));
}
#endif

TEST_F(Lifecycle, BuffersOfEveryLengthStartSilentAndReachTheirLastFrame)
{
    // Lengths around the 2 MB at which a buffer becomes a mapping of huge pages of its own.
    for (const int32_t n : {524287, 524288, 524289, 1572865})
    {
        ASSERT_EQ(OpenLib(n, 0), 0) << n;
        ClearTracks();
        SetTrackAttr(0, 255, 128);
        ASSERT_EQ(SetTrackInfo(0, trackFile(0).c_str()), 0);
        SetCurTrack(0, 0); // nothing loaded: the buffer as allocated
        EXPECT_EQ(std::vector({TrackRead(0), TrackRead(n), TrackRead(2 * n - 1), TrackRead(2 * n)}),
                  std::vector({0, 0, 0, -1}))
            << n;
        EXPECT_EQ(TrackWrite(2 * n - 1, 1234), 0);
        ASSERT_EQ(CopyTo(n - 2, n + 5, dir.file("end.wav").c_str()), 0);
        EXPECT_EQ(readSamples(dir.file("end.wav")), std::vector<int16_t>({0, 0, 0, 1234})) << n;
        EXPECT_EQ(CloseLib(), 0);
    }
}

TEST_F(Lifecycle, TheTraceLogHoldsTheTextOfEachStepWhenOpenedWithLogging)
{
    writeStereo(dir.file("t.wav"), ramp(10));
    writeBytes(dir.file("mono.wav"), waveBytes({1, 2}, {.channels = 1}));
    writeBytes(dir.file("8bit.wav"), waveBytes({1, 2}, {.bits = 8}));
    writeBytes(dir.file("float.wav"), waveBytes({1, 2}, {.formatTag = 3}));
    writeBytes(dir.file("junk.wav"), {'J', 'U', 'N', 'K'});
    // Each row (what, steps, transcript) runs from OpenLib (logging if a transcript) to CloseLib.
    const std::tuple<const char*, std::function<void()>, std::string> rows[] = {
        {"logging off", [&] { SetTrackInfo(0, dir.file("t.wav").c_str()); }, ""},
        {"tracks, save, undo, play",
         [&]
         {
             SetTrackInfo(0, dir.file("t.wav").c_str()), SetTrackAttr(0, 255, 128);
             SetTrackInfo(1, dir.file("missing.wav").c_str()), SetTrackAttr(1, 255, 128);
             SetCurTrack(0, 1), TrackWrite(0, 1), SaveEdits(), Undo();
             PlayTracks(0, 10), StopTracks(0, 10, 0);
         },
         "SetTrackInfo\nSetTrackAttr\nSetTrackInfo\nSetTrackAttr\n"
         "SetCurTrack\nmergeMaster\ndeleteBuf\nLoadWavToBuf\nBad wave file.\n"
         "LoadWavToBuf\nWave loaded.\nSaveEdits\nSaveBufToWave\n"
         "Undo\nLoadWavToBuf\nWave loaded.\n"
         "PlayTracks\nmerge4Play\nmemcopied\ncpyBufToBuf\nmerged\nStopTracks\n"},
        {"loader refusals (a 16-bit one silent) and the sampler",
         [&]
         {
             for (const char* name : {"8bit.wav", "junk.wav", "float.wav", "mono.wav"})
                 LoadSK1(dir.file(name).c_str());
             SK1(0, 2, 1.0, 1.0);
         },
         "LoadSK1\nLoadWavToBuf\nLoadSK1\nLoadWavToBuf\nNo Riff.\n"
         "LoadSK1\nLoadWavToBuf\nNot PCM.\n"
         "LoadSK1\nLoadWavToBuf\nConverting to stereo.\nWave loaded.\nSK1\n"},
        {"MIDI: the recording exports and the output in use",
         []
         {
             OpenMidiRec(64, 0), RecordMidi(), GetRecordLength(), GetRecordData(0);
             StopMidiRec(), CloseMidiRec();
             OpenMidiPlay(16), AddMidi(0, 0x90), CmdMidi(0x90, 1, 1), CloseMidiPlay();
         },
         "OpenMidiRec\nRecordMidi\nStopMidiRec\nCloseMidiRec\n"
         "MIDI output: Vumo Virtual MIDI Out\n"},
        {"FXIt: the code's low 8 bits in hex and the low pass",
         [] { FXIt(256 + 15, 0, 10, 0, 0, 0), FXIt(9, 0, 1000, 128, 0, 127); },
         "FXIt\n0000000F\rFXIt\n00000009\rLoPass\n"},
    };
    setenv("VUMO_MIDI_BACKEND", "virtual", 1);
    setenv("VUMO_LOG", dir.file("trace.log").c_str(), 1);
    for (const auto& [what, steps, transcript] : rows)
    {
        SCOPED_TRACE(what);
        std::filesystem::remove(dir.file("trace.log"));
        ASSERT_EQ(OpenLib(5000, !transcript.empty()), 0);
        steps();
        CloseLib();
        // Read as the text file it is: on Windows each line ends in a carriage return too.
        std::ifstream file(dir.file("trace.log"));
        std::string log(std::istreambuf_iterator<char>(file), {});
        EXPECT_EQ(log, transcript.empty() ? ""
                                          : "OpenLib\nwaveOpenOut\nwaveOpenIn\n" + transcript +
                                                "CloseLib\nwaveCloseOut\nwaveCloseIn\n");
    }
}

TEST(MidiExports, SendCommandsAtOnceAndRefuseThemBeforeOpenAndHugeCapacities)
{
    testwave::TempDir dir;
    platform::test::ScopedEnv midi{"VUMO_MIDI_BACKEND", "virtual"},
        out{"VUMO_VIRTUAL_MIDI_OUT", dir.file("out")};
    EXPECT_EQ(CmdMidi(0x90, 60, 100), 5); // nothing open yet
    ASSERT_EQ(OpenMidiPlay(64), 0);
    EXPECT_EQ(OpenMidiPlay(16 * 1024 * 1024 + 1), 11); // the open queue stays
    EXPECT_EQ(OpenMidiRec(1111638594, 0), 11);         // 4.4 GB asked for
    EXPECT_EQ(CmdMidi(0xB0, 123, 0), 0);
    AddMidi(5, 0x99 | 36 << 8 | 100 << 16);
    EXPECT_EQ(AddMidi(10, 0x99 | 38 << 8 | 80 << 16), 4);
    EXPECT_EQ(CloseMidiPlay(), 0);
    const platform::test::Lines sent = platform::test::fileLines(dir.file("out"));
    ASSERT_EQ(sent.size(), 1u); // "<ms since open> 176 123 0": the queue was never played
    EXPECT_EQ(sent[0].substr(sent[0].find(' ') + 1), "176 123 0");
}
