#include "trace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cube/model.h"
#include "cube/show.h"
#include "settings/settings.h"

namespace {

bool Parse(std::initializer_list<const char*> args, TraceOptions* options, std::string* error) {
  const char* argv[16] = {"quarlo-trace"};
  int argc = 1;
  for (const char* a : args) argv[argc++] = a;
  char buffer[256] = "";
  const bool ok = ParseTraceArgs(argc, argv, options, buffer, sizeof buffer);
  *error = buffer;
  return ok;
}

TEST(TraceArgsTest, AcceptsTheDocumentedForms) {
  TraceOptions o{};
  std::string error;
  ASSERT_TRUE(Parse({"--seed", "0", "--ticks", "5"}, &o, &error)) << error;
  EXPECT_EQ(o.seed, 0u);
  EXPECT_EQ(o.ticks, 5);
  EXPECT_FALSE(o.explode);
  ASSERT_TRUE(Parse({"--explode", "--ticks", "0", "--seed", "4294967295"}, &o, &error)) << error;
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_EQ(o.ticks, 0);
  EXPECT_TRUE(o.explode);
}

TEST(TraceArgsTest, RefusesBadArgumentsWithAReason) {
  TraceOptions o{};
  std::string error;
  const struct {
    std::initializer_list<const char*> args;
    const char* reason;
  } cases[] = {
      {{}, "--seed is required"},
      {{"--seed", "1"}, "--ticks is required"},
      {{"--seed", "-1", "--ticks", "1"}, "--seed takes"},
      {{"--seed", "4294967296", "--ticks", "1"}, "--seed takes"},
      {{"--seed", "0x10", "--ticks", "1"}, "--seed takes"},
      {{"--seed", "", "--ticks", "1"}, "--seed takes"},
      {{"--seed", "1", "--ticks", "2147483648"}, "--ticks takes"},
      {{"--seed", "1", "--ticks", "1.5"}, "--ticks takes"},
      {{"--seed", "1", "--ticks"}, "missing value after: --ticks"},
      {{"--seed", "1", "--ticks", "1", "--size"}, "unknown argument: --size"},
      {{"/s"}, "unknown argument: /s"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Parse(c.args, &o, &error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_NE(error.find("usage:"), std::string::npos) << error;
  }
}

TEST(TraceArgsTest, DecimalParserStopsAtTheLimit) {
  uint64_t v = 0;
  EXPECT_TRUE(ParseDecimal("18446744073709551615", UINT64_MAX, &v));
  EXPECT_EQ(v, UINT64_MAX);
  EXPECT_FALSE(ParseDecimal("18446744073709551616", UINT64_MAX, &v));
  EXPECT_TRUE(ParseDecimal("007", 7, &v));
  EXPECT_EQ(v, 7u);
  EXPECT_FALSE(ParseDecimal("8", 7, &v));
  EXPECT_FALSE(ParseDecimal(" 1", 7, &v));
  EXPECT_FALSE(ParseDecimal(nullptr, 7, &v));
}

TEST(TraceLineTest, DescribesTheStateAfterATick) {
  TraceOptions o{0, 11, false};
  StartTrace(o);
  for (int n = 0; n < 11; ++n) ShowTick(nullptr);
  char line[512];
  const size_t n = FormatTraceLine(11, line, sizeof line);
  ASSERT_GT(n, 0u);
  std::string want = "{\"tick\":11,\"state\":4,\"counter\":25,\"angle\":0,\"move\":9,\"index\":24,\"slots\":[";
  for (int s = 0; s < kCubies; ++s) want += (s ? "," : "") + std::to_string(SlotTable[s]);
  want += "]}";
  EXPECT_EQ(std::string(line, n), want);
  EXPECT_EQ(FormatTraceLine(11, line, want.size()), 0u);  // no room for the NUL
  EXPECT_EQ(FormatTraceLine(11, line, want.size() + 1), want.size());
}

TEST(TraceLineTest, StartingATraceForgetsEarlierRuns) {
  TraceOptions o{7, 0, true};
  StartTrace(o);
  for (int n = 0; n < 300; ++n) ShowTick(nullptr);
  StartTrace(o);
  EXPECT_EQ(ShowState, SHOW_WAIT);
  EXPECT_EQ(ShowCounter, 10);
  EXPECT_EQ(ShowRandomState, 7u);
  EXPECT_EQ(SaverSettings.Explode, 1);
  EXPECT_TRUE(CubeIsSolved());
}

}  // namespace
