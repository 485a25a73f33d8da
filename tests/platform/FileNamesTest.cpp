// File names as code-page texts on Windows: the writer replaces the named file and leaves nothing
// else; the loader and the regular-file opener find it by the same name.
#include "platform/files/FileNames.h"
#include "engine/wave/WaveFile.h"
#include "platform/files/RegularFile.h"
#include "tests/engine/TestWave.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

namespace
{

// `wide` as a text of the code page, or empty when the code page cannot write it.
std::string codePageText(const std::wstring& wide)
{
    char text[MAX_PATH];
    BOOL lossy = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, &lossy);
    return n > 0 && !lossy ? std::string(text) : std::string();
}

std::set<std::wstring> filesIn(const std::filesystem::path& folder)
{
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().wstring());
    return names;
}

} // namespace

TEST(FileNames, CodePageTextsNameTheFilesTheSystemShowsAndTheWriterReplacesThemInPlace)
{
    const testwave::TempDir dir;
    const std::wstring folder = std::filesystem::path(dir.path()).wstring() + L"\\";
    const std::vector<int16_t> first = testwave::ramp(300, 10), second = testwave::ramp(200, 900);
    int rows = 0;
    for (const std::wstring leaf : {L"plain.wav", L"\u00C4rger M\u00FCller.wav", L"\u20ACuro.wav"})
    {
        const std::string name = codePageText(folder + leaf);
        if (name.empty())
            continue; // the machine's code page has no such letters
        ++rows;
        SCOPED_TRACE(name);
        EXPECT_EQ(platform::nameOf(platform::pathOf(name)), name);
        EXPECT_EQ(platform::pathOf(name).filename().wstring(), leaf);
        for (const auto& samples : {first, second})
            ASSERT_EQ(
                wavorn::saveBufToWave(0, int32_t(samples.size() / 2), name.c_str(), samples.data()),
                0);
        EXPECT_EQ(filesIn(dir.path()), std::set<std::wstring>{leaf}) << "nothing else left";
        std::vector<int16_t> loaded(second.size());
        EXPECT_EQ(wavorn::loadWavToBuf(name.c_str(), loaded.data(), int32_t(loaded.size() / 2)),
                  wavorn::LoadResult::Loaded);
        EXPECT_EQ(loaded, second);
        EXPECT_TRUE(platform::openRegularFile(name.c_str(), 1 << 20).file);
        std::filesystem::remove(platform::pathOf(name));
    }
    EXPECT_GE(rows, 2) << "code page " << GetACP();
}
