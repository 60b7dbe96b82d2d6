// The simulated board's command line and the board it assembles.
#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zelkor::sim {
namespace {

TEST(SimOptions, DefaultsToABlank27C512At0x378) {
  const ParsedOptions parsed = ParseSimOptions({});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.chip, EpromType::C27C512);
  EXPECT_EQ(parsed.options.base, 0x378);
  EXPECT_FALSE(parsed.options.faults.absent);
  AssembledBoard assembled = AssembleBoard(parsed.options);
  ASSERT_NE(assembled.board, nullptr);
  ASSERT_NE(assembled.board->Chip(), nullptr);
  EXPECT_EQ(assembled.board->Chip()->Size(), 65536u);
  EXPECT_EQ(assembled.board->Chip()->Content()[0x1234], 0xFF);
}

TEST(SimOptions, ReadsEveryOptionInBothSpellings) {
  const ParsedOptions parsed =
      ParseSimOptions({"--chip", "27c256", "--base=0x278", "--image", "a.bin", "--state=s.bin",
                       "--trace", "t.txt", "--fault", "counter-short-cycle", "--fault",
                       "latch-q5-stuck1", "--fault=readback-y3-stuck0", "--no-board"});
  ASSERT_EQ(parsed.error, "");
  const SimOptions& o = parsed.options;
  EXPECT_EQ(o.chip, EpromType::C27C256);
  EXPECT_EQ(o.base, 0x278);
  EXPECT_EQ(o.imagePath, "a.bin");
  EXPECT_EQ(o.statePath, "s.bin");
  EXPECT_EQ(o.tracePath, "t.txt");
  EXPECT_EQ(o.faults.counter, CounterFault::ShortCycle);
  EXPECT_EQ(o.faults.latchPin, 5);
  EXPECT_EQ(o.faults.latchStuck, StuckLevel::High);
  EXPECT_EQ(o.faults.readbackPin, 3);
  EXPECT_EQ(o.faults.readbackStuck, StuckLevel::Low);
  EXPECT_TRUE(o.faults.absent);
  EXPECT_EQ(ParseSimOptions({"--chip", "none"}).options.chip, std::nullopt);
  EXPECT_EQ(ParseSimOptions({"--fault", "counter-stuck"}).options.faults.counter,
            CounterFault::FeedbackStuck);
  EXPECT_TRUE(ParseSimOptions({"--help"}).options.help);
}

TEST(SimOptions, RefusesABadCommandLineWithAMessage) {
  const std::vector<std::vector<std::string>> bad{
      {"--chip", "27c128"},
      {"--chip"},
      {"--base", "0x3bc"},
      {"--fault", "latch-q8-stuck0"},
      {"--fault", "readback-y4-stuck1"},
      {"--fault", "counter"},
      {"--frobnicate"},
      {"extra"},
      {"--chip", "none", "--image", "a.bin"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
    EXPECT_NE(ParseSimOptions(args).error, "");
  }
}

TEST(SimOptions, HelpNamesEveryOptionAndFault) {
  const std::string help = SimUsage("zelkor-sim");
  for (const char* word :
       {"--chip", "--image", "--state", "--trace", "--fault", "--no-board", "--base", "--help",
        "counter-stuck", "counter-short-cycle", "latch-q<N>-stuck0", "latch-q<N>-stuck1",
        "readback-y<N>-stuck0", "readback-y<N>-stuck1"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

class SimFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("sim_options_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, std::size_t size, std::uint8_t fill) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << std::string(size, static_cast<char>(fill));
    return path.string();
  }

  std::filesystem::path dir_;
};

TEST_F(SimFiles, AnImageOfTheChipsSizeIsItsContentAndAWrongSizeIsRefused) {
  SimOptions options;
  options.imagePath = Write("image512.bin", 65536, 0x5A);
  AssembledBoard good = AssembleBoard(options);
  ASSERT_NE(good.board, nullptr) << good.error;
  EXPECT_EQ(good.board->Chip()->Content()[0xFFFF], 0x5A);

  struct Case {
    EpromType chip;
    std::size_t size;
  };
  for (const Case& c : {Case{EpromType::C27C512, 32768}, Case{EpromType::C27C256, 65536},
                        Case{EpromType::C27C256, 0}}) {
    SCOPED_TRACE(c.size);
    options.chip = c.chip;
    options.imagePath = Write("wrong.bin", c.size, 0x00);
    AssembledBoard refused = AssembleBoard(options);
    EXPECT_EQ(refused.board, nullptr);
    EXPECT_NE(refused.error.find("wrong.bin"), std::string::npos) << refused.error;
  }
  options.imagePath = (dir_ / "missing.bin").string();
  EXPECT_EQ(AssembleBoard(options).board, nullptr);
}

TEST_F(SimFiles, TheStateCarriesAProgrammedChipIntoTheNextRun) {
  SimOptions options;
  options.chip = EpromType::C27C256;
  options.statePath = (dir_ / "chip.state").string();
  options.imagePath = Write("image256.bin", 32768, 0x11);

  AssembledBoard first = AssembleBoard(options);  // no state yet: the image
  ASSERT_NE(first.board, nullptr) << first.error;
  EXPECT_EQ(first.board->Chip()->Content()[0], 0x11);
  first.board->Chip()->Content()[0x7FFF] = 0x42;  // what a write would have left
  ASSERT_EQ(SaveChipState(*first.board, options.statePath), "");

  AssembledBoard second = AssembleBoard(options);  // the state wins over the image
  ASSERT_NE(second.board, nullptr) << second.error;
  EXPECT_EQ(second.board->Chip()->Content()[0x7FFF], 0x42);
  EXPECT_EQ(std::filesystem::file_size(options.statePath), 32768u);
  EXPECT_FALSE(std::filesystem::exists(options.statePath + ".new"));
}

TEST_F(SimFiles, AStateThatCannotBeWrittenIsReported) {
  SimOptions options;
  options.statePath = (dir_ / "no-such-dir" / "chip.state").string();
  AssembledBoard assembled = AssembleBoard(options);
  ASSERT_NE(assembled.board, nullptr);
  EXPECT_NE(SaveChipState(*assembled.board, options.statePath), "");
}

TEST(SimOptions, AnEmptySocketAndNoBoardAssemble) {
  SimOptions options;
  options.chip = std::nullopt;
  options.faults.absent = true;
  AssembledBoard assembled = AssembleBoard(options);
  ASSERT_NE(assembled.board, nullptr);
  EXPECT_EQ(assembled.board->Chip(), nullptr);
  EXPECT_EQ(assembled.board->In(0x379), 0xFF);
  EXPECT_EQ(SaveChipState(*assembled.board, "/nonexistent/state"), "");  // nothing to keep
}

}  // namespace
}  // namespace zelkor::sim
