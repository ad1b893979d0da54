// zentrel-cli info, through its two functions.

#include "info_command.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "io/io_test_support.h"

namespace zentrel {
namespace {

const std::string kDemo = std::string(ZENTREL_SOURCE_DIR) + "/examples/demo.ztl";

struct InfoRun {
  int status;
  std::string out, err;
};

InfoRun Info(std::vector<std::string> args) {
  CLI::App app;
  InfoOptions options;
  CLI::App* info = AddInfoSubcommand(app, options);
  args.insert(args.begin(), "info");
  std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
  app.parse(args);
  EXPECT_TRUE(info->parsed());
  std::ostringstream out, err;
  const int status = RunInfoCommand(options, out, err);
  return {status, out.str(), err.str()};
}

TEST(InfoCommand, SummarisesTheExampleGraph) {
  const InfoRun run = Info({kDemo});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.empty());
  EXPECT_NE(run.out.find("demo.ztl: 2 sets\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  0 decay A: 11 points, 3 columns\n    fit Exponential: Exponential order 1\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("title \"Two decays\""), std::string::npos) << run.out;
}

TEST(InfoCommand, JsonIsTheDumpContract) {
  const InfoRun run = Info({kDemo, "--json"});
  ASSERT_EQ(run.status, 0);
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["sets"].size(), 2u);
  EXPECT_EQ(json["sets"][0]["fits"][0]["model"], "Exponential");
  EXPECT_EQ(json["graph"]["y_label"], "Counts");
  EXPECT_EQ(json["undo_available"], false);
}

TEST(InfoCommand, FilesThatCannotBeReadFailWithTheirReason) {
  testing::TempDir dir;
  testing::WriteBytes(dir.file("bad.ztl"), "\x05\x00garbage");
  struct Case {
    std::string path;
    std::string says;
  };
  // A pipe with no writer and an endless device are refused at once.
  ASSERT_EQ(::mkfifo(dir.file("pipe.ztl").c_str(), 0644), 0);
  const Case cases[] = {{dir.file("bad.ztl"), "Unexpected file format."},
                        {dir.file("none.ztl"), "Cannot find this file."},
                        {dir.path().string(), "Failed to open document. (not a regular file)"},
                        {dir.file("pipe.ztl"), "Failed to open document. (not a regular file)"},
                        {"/dev/zero", "/dev/zero: Failed to open document. (not a regular file)"}};
  for (const auto& c : cases) {
    const InfoRun run = Info({c.path});
    EXPECT_EQ(run.status, 1) << c.path;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace
}  // namespace zentrel
