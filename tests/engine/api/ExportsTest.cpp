// The engine's lifecycle, track table, premix, save/undo rules and trace log, driven through
// the C exports of libwavorn on the virtual devices.
#include "tests/engine/ExportFixture.h"

using namespace testwave;

using Lifecycle = ExportFixture;
using Premix = ExportFixture;
using Edits = ExportFixture;

TEST_F(Lifecycle, RefusesCallsBeforeOpenLibBadLengthsASecondOpenBadSlotsAndLongNames)
{
    for (const int32_t result :
         {CloseLib(), TrackRead(0), TrackWrite(0, 5), SetTrackAttr(0, 255, 128),
          SetTrackInfo(0, "x.wav"), SetCurTrack(0, 1), PlayTracks(0, 100),
          FXIt(1, 0, 100, 16, 255, 128), SaveEdits()})
        EXPECT_EQ(result, -1);
    for (int32_t frames : {0, -44100, 256 * 262144 + 1})
        EXPECT_EQ(OpenLib(frames, 0), 11) << frames;
    ASSERT_EQ(OpenLib(1000, 0), 0);
    EXPECT_EQ(OpenLib(2000, 0), 4);
    EXPECT_EQ(TrackRead(2 * 1000 - 1), 0);
    EXPECT_EQ(TrackRead(2 * 1000), -1);
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
    const int32_t n = 300000; // a few pieces of the loader
    const auto a = ramp(n, 1000), b = ramp(123457, 20000), c = ramp(n, 5);
    openTracks(n, {a, b, c, ramp(n, 9)}, {{255, 128}, {128, 0}, {200, 255}, {0, 128}});
    ASSERT_EQ(SetCurTrack(2, 1), 0);
    ASSERT_EQ(SaveAsWave(0, n, dir.file("mix.wav").c_str()), 0);
    std::vector<int16_t> expected(2 * size_t(n), 0);
    mixInto(expected, a, gains(255, 128));
    mixInto(expected, b, gains(128, 0)); // the shorter file ends in silence
    auto premix = expected;
    mixInto(expected, c, gains(200, 255));
    EXPECT_EQ(readSamples(dir.file("mix.wav")), expected);
    SetTrackAttr(2, 0, 128); // the current track silent: the mix is the premix alone
    ASSERT_EQ(SaveAsWave(0, n, dir.file("mix.wav").c_str()), 0);
    EXPECT_EQ(readSamples(dir.file("mix.wav")), premix);
}

TEST_F(Premix, LeavesOutRefusedAndClearedTracks)
{
    const int32_t n = 100;
    openTracks(n, {ramp(n, 100), ramp(n, 200), ramp(n, 300)}, {{255, 128}, {255, 128}, {255, 128}});
    writeBytes(trackFile(1), waveBytes(ramp(n),
                                       []
                                       {
                                           WaveLayout l;
                                           l.bits = 8;
                                           return l;
                                       }())); // refused: not 16-bit
    ASSERT_EQ(SetCurTrack(2, 1), 0);
    std::vector<int16_t> expected(2 * n, 0);
    mixInto(expected, ramp(n, 100), gains(255, 128));
    mixInto(expected, ramp(n, 300), gains(255, 128));
    ASSERT_EQ(SaveAsWave(0, n, dir.file("mix.wav").c_str()), 0);
    EXPECT_EQ(readSamples(dir.file("mix.wav")), expected);
    ClearTracks();
    SetTrackAttr(2, 255, 128);
    writeStereo(trackFile(1), ramp(n, 200));
    ASSERT_EQ(SetCurTrack(2, 1), 0);
    expected.assign(2 * n, 0);
    mixInto(expected, ramp(n, 300), gains(255, 128));
    ASSERT_EQ(SaveAsWave(0, n, dir.file("mix.wav").c_str()), 0);
    EXPECT_EQ(readSamples(dir.file("mix.wav")), expected);
    ASSERT_EQ(SaveAsWave(1000, 1000, dir.file("e.wav").c_str()), 0); // empty: a header only
    EXPECT_EQ(readBytes(dir.file("e.wav")).size(), 44u);
    ASSERT_EQ(SaveAsWave(30, 10, dir.file("r.wav").c_str()), 0);
    EXPECT_EQ(readBytes(dir.file("r.wav")).size(), 44u);
    EXPECT_EQ(SaveAsWave(0, 10, dir.file("no/such/dir.wav").c_str()), -1);
}

TEST_F(Edits, SaveEditsWritesPendingEditsAndUndoRevertsToTheFile)
{
    openTracks(100, {ramp(100, 10)}, {{255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    const auto before = readBytes(trackFile(0));
    for (int32_t i : {200, -1, INT32_MIN})
        EXPECT_EQ(TrackWrite(i, 1), -1) << i;
    EXPECT_EQ(TrackRead(200), -1);
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
}

TEST_F(Edits, SwitchingTracksWritesPendingEditsToThePreviousTrack)
{
    openTracks(100, {ramp(100, 10), ramp(100, 500)}, {{255, 128}, {255, 128}});
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    TrackWrite(0, -42);
    EXPECT_EQ(SetCurTrack(1, 0), 0);
    EXPECT_EQ(readSamples(trackFile(0))[0], -42);
    EXPECT_EQ(TrackRead(0), -42); // no reload: the buffer stays
    TrackWrite(2, 99);
    EXPECT_EQ(SetCurTrack(1, 1), 0); // same track: edits written, then reloaded
    EXPECT_EQ(readSamples(trackFile(1))[2], 99);
    EXPECT_EQ(TrackRead(0), -42); // the buffer kept without reload became track 1's content
}

TEST_F(Edits, FailedWritesKeepTheEditsPendingAndInARecoveryFile)
{
    const TempDir trackDir;
    const std::string name = (trackDir.path() / "song-t1.wav").string();
    ASSERT_EQ(OpenLib(100, 0), 0);
    writeStereo(name, ramp(100, 10));
    SetTrackInfo(0, name.c_str());
    SetTrackAttr(0, 255, 128);
    ASSERT_EQ(SetCurTrack(0, 1), 0);
    TrackWrite(6, 1111);
    std::filesystem::remove_all(trackDir.path()); // the folder vanishes (a removed drive)
    EXPECT_EQ(SaveEdits(), -1);
    std::filesystem::create_directories(trackDir.path()); // the drive is back: a retry succeeds
    EXPECT_EQ(SaveEdits(), 0);
    EXPECT_EQ(readSamples(name).at(6), 1111);
    TrackWrite(6, 2222);
    std::filesystem::remove_all(trackDir.path());
    const auto recovered = std::filesystem::temp_directory_path() / "vumo-recovered-song-t1.wav";
    std::filesystem::remove(recovered);
    EXPECT_EQ(SetCurTrack(0, 0), -1); // switching keeps the edits in a recovery file
    EXPECT_EQ(readSamples(recovered.string()).at(6), 2222);
    std::filesystem::remove(recovered);
    EXPECT_EQ(TrackRead(6), 2222);
}

TEST_F(Lifecycle, EachStepAppendsItsTextToTheTraceLogAndNothingIsWrittenWhenOff)
{
    const std::string log = dir.file("vumo.log");
    setenv("VUMO_LOG", log.c_str(), 1);
    writeStereo(dir.file("t.wav"), ramp(10));
    ASSERT_EQ(OpenLib(10, 0), 0);
    SetTrackInfo(0, dir.file("t.wav").c_str());
    CloseLib();
    EXPECT_FALSE(std::filesystem::exists(log));
    ASSERT_EQ(OpenLib(10, 1), 0);
    SetTrackInfo(0, dir.file("t.wav").c_str());
    SetTrackAttr(0, 255, 128);
    SetTrackInfo(1, dir.file("missing.wav").c_str());
    SetTrackAttr(1, 255, 128);
    SetCurTrack(0, 1);
    TrackWrite(0, 1);
    SaveEdits();
    Undo();
    PlayTracks(0, 10);
    StopTracks(0, 10, 0);
    CloseLib();
    unsetenv("VUMO_LOG");
    const auto bytes = readBytes(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "OpenLib\nwaveOpenOut\nwaveOpenIn\n"
              "SetTrackInfo\nSetTrackAttr\nSetTrackInfo\nSetTrackAttr\n"
              "SetCurTrack\nmergeMaster\ndeleteBuf\nLoadWavToBuf\nBad wave file.\n"
              "LoadWavToBuf\nWave loaded.\n"
              "SaveEdits\nSaveBufToWave\n"
              "Undo\nLoadWavToBuf\nWave loaded.\n"
              "PlayTracks\nmerge4Play\nmemcopied\ncpyBufToBuf\nmerged\n"
              "StopTracks\n"
              "CloseLib\nwaveCloseOut\nwaveCloseIn\n");
}
