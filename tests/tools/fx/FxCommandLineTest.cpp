// The command line of vumo-fx and its effect catalog.
#include "tools/fx/FxCommandLine.h"
#include "fx/EffectCatalog.h"

#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

using namespace vumo::fxtool;
using vumo::fx::effectCatalog;
using vumo::fx::EffectInfo;
using vumo::fx::findEffectInfo;

TEST(FxCommandLine, ReadsFilesRangeFlagsAndAChainWithTheDialogDefaults)
{
    ParseResult r =
        parseCommandLine({"in.wav", "out.wav", "3:40:100:128", "7", "1:32", "17:10:20"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.input, "in.wav");
    EXPECT_EQ(r.options.output, "out.wav");
    EXPECT_FALSE(r.options.from || r.options.to || r.options.crop || r.options.help);
    const int32_t expected[4][4] = {
        {3, 40, 100, 128}, {7, 2, 255, 128}, {1, 32, 255, 128}, {17, 10, 20, 64}};
    ASSERT_EQ(r.options.chain.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
    {
        const EffectStep& s = r.options.chain[i];
        EXPECT_EQ((std::vector<int32_t>{s.code, s.p[0], s.p[1], s.p[2]}),
                  std::vector<int32_t>(expected[i], expected[i] + 4));
    }
    r = parseCommandLine(
        {"--from", "100", "in", "--to", "900", "out", "--crop", "--no-progress", "19"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(*r.options.from, 100);
    EXPECT_EQ(*r.options.to, 900);
    EXPECT_TRUE(r.options.crop);
    EXPECT_EQ(r.options.progress, ProgressMode::Never);
    r = parseCommandLine({"--help"});
    EXPECT_TRUE(r.ok() && r.options.help);
}

TEST(FxCommandLine, RefusesBadArgumentsNamingTheFault)
{
    const std::pair<std::vector<std::string>, const char*> rows[] = {
        {{"a", "b", "33"}, "unknown effect code '33'"},
        {{"a", "b", "0"}, "unknown effect code '0'"},
        {{"a", "b", "40"}, "unknown effect code '40'"},
        {{"a", "b", "-3"}, "'-3'"},
        {{"a", "b", "3x"}, "unknown effect code '3x'"},
        {{"a", "b", ""}, "unknown effect code ''"},
        {{"a", "b", "1:256"}, "parameter P1 of '1:256' must be a whole number from 0 to 255"},
        {{"a", "b", "1:1:-1"}, "parameter P2"},
        {{"a", "b", "1:1:1:x"}, "parameter P3"},
        {{"a", "b", "1:1:1:1:1"}, "has more than three parameters"},
        {{"--from", "10", "--to", "10", "a", "b", "1"}, "--from must be below --to"},
        {{"--from", "-1", "a", "b", "1"}, "--from needs a frame number of 0 or more, not '-1'"},
        {{"a", "b", "1", "--to"}, "--to needs a frame number"},
        {{"--to", "ten", "a", "b", "1"}, "not 'ten'"},
        {{}, "no input file"},
        {{"a"}, "no output file"},
        {{"a", "b"}, "no effect given"},
        {{"--loud", "a", "b", "1"}, "unknown option '--loud'"},
    };
    for (const auto& [args, message] : rows)
    {
        const ParseResult r = parseCommandLine(args);
        EXPECT_FALSE(r.ok()) << message;
        EXPECT_NE(r.error.find(message), std::string::npos) << r.error;
    }
}

TEST(FxCommandLine, HelpDocumentsEveryCodeWithItsParameters)
{
    const std::string help = helpText();
    for (const EffectInfo& e : effectCatalog())
    {
        if (e.code == vumo::fx::kFadeCode)
        {
            EXPECT_EQ(help.find("  40  Fade"), std::string::npos);
            continue;
        }
        const std::string line =
            (e.code < 10 ? "   " : "  ") + std::to_string(e.code) + "  " + e.name;
        EXPECT_NE(help.find(line), std::string::npos) << line;
        EXPECT_NE(help.find(std::string("P1: ") + e.meanings[0]), std::string::npos) << e.code;
    }
    EXPECT_NE(help.find("--from"), std::string::npos);
    EXPECT_NE(help.find("--crop"), std::string::npos);
}

TEST(EffectCatalog, HoldsCodes1To32ThenTheFadeWithTheEngineNamesAndUniqueListAndMenuNames)
{
    const auto c = effectCatalog();
    ASSERT_EQ(c.size(), 33u);
    for (size_t i = 0; i < 32; ++i)
    {
        EXPECT_EQ(c[i].code, int32_t(i + 1));
        // The chain window turns list names back into codes: each must lead back to its code.
        EXPECT_EQ(vumo::fx::codeFromListName(c[i].listName), c[i].code);
    }
    EXPECT_EQ(c[32].code, vumo::fx::kFadeCode);
    // Each F&X menu item leads to its own code.
    for (const EffectInfo& e : c)
        EXPECT_EQ(vumo::fx::codeFromMenuItem(e.menuItem), e.code) << e.menuItem;
    EXPECT_EQ(vumo::fx::codeFromListName(""), 0);
    EXPECT_STREQ(vumo::fx::listNameOfCode(vumo::fx::kFadeCode), "");
    for (const auto& entry : wavorn::fx::fxTable())
        EXPECT_STREQ(findEffectInfo(entry.code)->name, entry.name);
}
