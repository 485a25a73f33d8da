// The command line of vumo-fx and its effect catalog.
#include "tools/fx/FxCommandLine.h"
#include "tools/fx/EffectCatalog.h"

#include "engine/fx/FxTable.h"

#include <gtest/gtest.h>

using namespace vumo::fxtool;

TEST(FxCommandLine, ReadsInputOutputAndAChain)
{
    const ParseResult r = parseCommandLine({"in.wav", "out.wav", "3:40:100:128", "9:200:0:127"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.options.input, "in.wav");
    EXPECT_EQ(r.options.output, "out.wav");
    ASSERT_EQ(r.options.chain.size(), 2u);
    EXPECT_EQ(r.options.chain[0].code, 3);
    EXPECT_EQ(r.options.chain[0].p[0], 40);
    EXPECT_EQ(r.options.chain[0].p[1], 100);
    EXPECT_EQ(r.options.chain[0].p[2], 128);
    EXPECT_EQ(r.options.chain[1].code, 9);
    EXPECT_FALSE(r.options.from);
    EXPECT_FALSE(r.options.crop);
}

TEST(FxCommandLine, MissingParametersTakeTheDialogDefaults)
{
    const ParseResult r = parseCommandLine({"a", "b", "7", "1:32", "17:10:20"});
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& c = r.options.chain;
    EXPECT_EQ(c[0].p[0], 2);
    EXPECT_EQ(c[0].p[1], 255);
    EXPECT_EQ(c[0].p[2], 128);
    EXPECT_EQ(c[1].p[0], 32);
    EXPECT_EQ(c[1].p[1], 255);
    EXPECT_EQ(c[2].p[2], 64);
}

TEST(FxCommandLine, ReadsTheRangeAndFlags)
{
    const ParseResult r = parseCommandLine(
        {"--from", "100", "in", "--to", "900", "out", "--crop", "--no-progress", "19"});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(*r.options.from, 100);
    EXPECT_EQ(*r.options.to, 900);
    EXPECT_TRUE(r.options.crop);
    EXPECT_EQ(r.options.progress, ProgressMode::Never);
}

TEST(FxCommandLine, RefusesUnknownCodes)
{
    for (const char* bad : {"0", "33", "40", "abc", "-3", "3x", ""})
    {
        const ParseResult r = parseCommandLine({"a", "b", bad});
        EXPECT_FALSE(r.ok()) << bad;
    }
    EXPECT_NE(parseCommandLine({"a", "b", "33"}).error.find("unknown effect code '33'"),
              std::string::npos);
}

TEST(FxCommandLine, RefusesParametersOutside0To255)
{
    EXPECT_NE(parseCommandLine({"a", "b", "1:256"}).error.find("P1"), std::string::npos);
    EXPECT_NE(parseCommandLine({"a", "b", "1:1:-1"}).error.find("P2"), std::string::npos);
    EXPECT_NE(parseCommandLine({"a", "b", "1:1:1:x"}).error.find("P3"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"a", "b", "1:1:1:1:1"}).ok());
}

TEST(FxCommandLine, RefusesABadRange)
{
    EXPECT_FALSE(parseCommandLine({"--from", "10", "--to", "10", "a", "b", "1"}).ok());
    EXPECT_FALSE(parseCommandLine({"--from", "-1", "a", "b", "1"}).ok());
    EXPECT_FALSE(parseCommandLine({"a", "b", "1", "--to"}).ok());
    EXPECT_FALSE(parseCommandLine({"--to", "ten", "a", "b", "1"}).ok());
}

TEST(FxCommandLine, NamesWhatIsMissing)
{
    EXPECT_NE(parseCommandLine({}).error.find("no input file"), std::string::npos);
    EXPECT_NE(parseCommandLine({"a"}).error.find("no output file"), std::string::npos);
    EXPECT_NE(parseCommandLine({"a", "b"}).error.find("no effect"), std::string::npos);
    EXPECT_NE(parseCommandLine({"--loud", "a", "b", "1"}).error.find("unknown option '--loud'"),
              std::string::npos);
}

TEST(FxCommandLine, HelpNeedsNothingElse)
{
    const ParseResult r = parseCommandLine({"--help"});
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.options.help);
}

TEST(FxCommandLine, HelpDocumentsEveryCodeWithItsParameters)
{
    const std::string help = helpText();
    for (const EffectInfo& e : effectCatalog())
    {
        const std::string line =
            (e.code < 10 ? "   " : "  ") + std::to_string(e.code) + "  " + e.name;
        EXPECT_NE(help.find(line), std::string::npos) << line;
        EXPECT_NE(help.find(std::string("P1: ") + e.p1), std::string::npos) << e.code;
    }
    EXPECT_NE(help.find("--from"), std::string::npos);
    EXPECT_NE(help.find("--crop"), std::string::npos);
}

TEST(EffectCatalog, HoldsCodes1To32)
{
    const auto c = effectCatalog();
    ASSERT_EQ(c.size(), 32u);
    for (size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(c[i].code, int32_t(i + 1));
}

TEST(EffectCatalog, NamesMatchTheEnginesTable)
{
    for (const auto& entry : wavorn::fx::fxTable())
        EXPECT_STREQ(findEffectInfo(entry.code)->name, entry.name);
}

TEST(EffectCatalog, OnlyStatelessEffectsRunInPieces)
{
    for (const EffectInfo& e : effectCatalog())
    {
        const bool stateless = e.code == 1 || e.code == 8 || e.code == 12 || e.code == 15 ||
                               e.code == 18 || e.code == 25;
        EXPECT_EQ(e.perFrame, stateless) << e.code;
    }
}
