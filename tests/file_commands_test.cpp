// The load and save commands as the operator meets them: dialogs, buffer, buffer status
// line, the last directory and the files on disk, with the disk made to fail where needed.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/error_handler.h"
#include "app/zelkor_logic.h"
#include "failing_file_calls.h"
#include "idle_timing.h"
#include "recording_feedback.h"

namespace zelkor::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kStartDir = "/opt/zelkor/";
constexpr const char* kEarlierStatus = "В буфере данные, считанные из ПЗУ";
constexpr const char* k27C512SizeText = "Размер файла для 27C512 должен быть 65536 байт.";
constexpr const char* k27C256SizeText = "Размер файла для 27C256 должен быть 32768 байт.";

const char* ChipName(Chip chip) {
  return Is27C512(chip) ? "27C512" : "27C256";
}

class FileCommandsTest : public TempDirTest {
 protected:
  FileCommandsTest() {
    logic_.LastDir = kStartDir;
    logic_.ImageBuffer.fill(kErasedByte);
    feedback_.bufferStatus = kEarlierStatus;
  }

  void Select(Chip chip) { logic_.ChipType = chip; }

  // The buffer holds something a faulty command would visibly change.
  void FillBuffer(std::uint8_t seed) {
    const auto bytes = Pattern(kBufferSize, seed);
    std::copy(bytes.begin(), bytes.end(), logic_.ImageBuffer.begin());
  }

  void Load(const std::string& name) { Run(name, &ZelkorLogic::bFReadClick, Sender::bFRead); }
  void Save(const std::string& name) { Run(name, &ZelkorLogic::bFSaveClick, Sender::bFSave); }

  std::vector<std::uint8_t> ChipBytes(Chip chip) const {
    const auto begin = logic_.ImageBuffer.begin() + ChipBufferOffset(chip);
    return {begin, begin + ChipSize(chip)};
  }

  std::vector<std::string> Errors() const { return feedback_.Of("error"); }

  RecordingFeedback feedback_;
  IdleTiming timing_;
  ZelkorLogic logic_{feedback_, timing_, std::string(kStartDir) + "zelkor"};

 private:
  // As the window runs a handler: under the general error handler.
  void Run(const std::string& name, void (ZelkorLogic::*handler)(Sender), Sender sender) {
    feedback_.files.push_back(PathOf(name));
    RunGuarded(feedback_, [&] { (logic_.*handler)(sender); });
  }
};

TEST_F(FileCommandsTest, LoadThenSaveRoundTripsEachChip) {
  for (const Chip chip : {Chip::C27C512, Chip::C27C256}) {
    SCOPED_TRACE(ChipName(chip));
    Select(chip);
    logic_.ImageBuffer.fill(kErasedByte);
    const auto image = Pattern(ChipSize(chip), 3);
    WriteFile("in.bin", image);

    Load("in.bin");

    EXPECT_EQ(ChipBytes(chip), image);
    EXPECT_TRUE(std::all_of(logic_.ImageBuffer.begin(),
                            logic_.ImageBuffer.begin() + ChipBufferOffset(chip),
                            [](std::uint8_t b) { return b == kErasedByte; }));
    EXPECT_EQ(feedback_.bufferStatus, "В буфере данные из файла \"in.bin\"");
    EXPECT_EQ(logic_.LastDir, DirWithSlash());

    Save("out.bin");

    EXPECT_EQ(ReadFile("out.bin"), image);
    EXPECT_EQ(feedback_.bufferStatus,
              "В буфере данные из файла \"in.bin\", сохранены в файл \"out.bin\"");
    EXPECT_TRUE(Errors().empty());
  }
}

TEST_F(FileCommandsTest, DialogsOpenInTheLastDirectoryAndOnlyTheSaveAddsASuffix) {
  WriteFile("in.bin", Pattern(ChipSize(Chip::C27C512), 1));
  Load("in.bin");
  Save("out.bin");
  ASSERT_EQ(feedback_.dialogs.size(), 2u);
  EXPECT_EQ(feedback_.dialogs[0].initialDir, kStartDir);
  EXPECT_EQ(feedback_.dialogs[0].defaultSuffix, "");
  EXPECT_EQ(feedback_.dialogs[1].initialDir, DirWithSlash());
  EXPECT_EQ(feedback_.dialogs[1].defaultSuffix, "bin");
}

TEST_F(FileCommandsTest, WrongSizeIsRefusedWhileTheFileIsOpen) {
  struct Case {
    Chip chip;
    std::size_t size;
    const char* message;
  };
  const Case cases[] = {
      {Chip::C27C512, 0, k27C512SizeText},     {Chip::C27C512, 32768, k27C512SizeText},
      {Chip::C27C512, 65535, k27C512SizeText}, {Chip::C27C512, 65537, k27C512SizeText},
      {Chip::C27C256, 0, k27C256SizeText},     {Chip::C27C256, 65536, k27C256SizeText},
      {Chip::C27C256, 32767, k27C256SizeText}, {Chip::C27C256, 32769, k27C256SizeText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(ChipName(c.chip)) + ", " + std::to_string(c.size) + " bytes");
    Select(c.chip);
    FillBuffer(9);
    const auto before = logic_.ImageBuffer;
    logic_.LastDir = kStartDir;
    feedback_.events.clear();
    WriteFile("odd.bin", Pattern(c.size, 5));
    FailingFileCalls calls;
    const ReplacedFileCalls replaced(calls);
    std::vector<std::string> callsDuringMessage;
    feedback_.onMessage = [&](const std::string&) { callsDuringMessage = calls.log; };

    Load("odd.bin");

    EXPECT_EQ(feedback_.Of("message"), std::vector<std::string>{c.message});
    EXPECT_EQ(std::count(callsDuringMessage.begin(), callsDuringMessage.end(), "close"), 0);
    EXPECT_EQ(calls.log.back(), "close");
    EXPECT_EQ(logic_.ImageBuffer, before);
    EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
    EXPECT_EQ(logic_.LastDir, DirWithSlash());
    EXPECT_TRUE(Errors().empty());
  }
}

TEST_F(FileCommandsTest, LoadThatCannotOpenShowsTheErrorAndChangesOnlyTheDirectory) {
  WriteFile("plain.bin", Pattern(ChipSize(Chip::C27C512), 2));
  std::filesystem::create_directory(dir_ / "folder.bin");
  struct Case {
    const char* name;
    const char* error;
  };
  const std::string longName(300, 'n');
  // A directory opens for reading on Linux; it must not come out as a size complaint.
  const Case cases[] = {
      {"missing.bin", "File not found"},
      {"folder.bin", "File access denied"},
      {"plain.bin/inner.bin", "Invalid filename"},
      {longName.c_str(), "Invalid filename"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name).substr(0, 20));
    FillBuffer(4);
    const auto before = logic_.ImageBuffer;
    logic_.LastDir = kStartDir;
    feedback_.events.clear();

    Load(c.name);

    EXPECT_EQ(Errors(), std::vector<std::string>{c.error});
    EXPECT_TRUE(feedback_.Of("message").empty());
    EXPECT_EQ(logic_.ImageBuffer, before);
    EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
    EXPECT_EQ(logic_.LastDir, DirectoryOf(PathOf(c.name)));
  }
}

TEST_F(FileCommandsTest, PipeChosenAsImageDoesNotHangTheWindow) {
  ASSERT_EQ(::mkfifo(PathOf("pipe.bin").c_str(), 0600), 0);
  std::atomic<bool> loaded{false};
  std::atomic<bool> rescued{false};
  // Should the load wait for a writer, one arrives after two seconds so the test still ends.
  std::thread watchdog([&] {
    for (int i = 0; i < 200 && !loaded; ++i) std::this_thread::sleep_for(10ms);
    if (loaded) return;
    rescued = true;
    const int writer = ::open(PathOf("pipe.bin").c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  });

  Load("pipe.bin");
  loaded = true;
  watchdog.join();

  EXPECT_FALSE(rescued);
  EXPECT_EQ(feedback_.Of("message"), std::vector<std::string>{k27C512SizeText});
  EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
}

TEST_F(FileCommandsTest, ReadOnlyImageLoads) {
  const auto image = Pattern(ChipSize(Chip::C27C512), 6);
  WriteFile("rom.bin", image);
  std::filesystem::permissions(dir_ / "rom.bin", std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
  // The tests run as root, whom permissions do not stop: the medium refuses writers instead.
  FailingFileCalls calls;
  calls.readOnlyMedium = true;
  const ReplacedFileCalls replaced(calls);

  Load("rom.bin");

  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(ChipBytes(Chip::C27C512), image);
  EXPECT_EQ(feedback_.bufferStatus, "В буфере данные из файла \"rom.bin\"");
}

TEST_F(FileCommandsTest, ReadFailingMidwayLeavesTheBufferAsItWas) {
  struct Case {
    Chip chip;
    int readThatFails;
    int err;
    const char* error;
  };
  // err 0: the file ends early, as when it shrinks between the size check and the read.
  const Case cases[] = {
      {Chip::C27C512, 3, EIO, "I/O error 31"},
      {Chip::C27C512, 3, 0, "Read beyond end of file"},
      {Chip::C27C256, 2, EIO, "I/O error 31"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(ChipName(c.chip)) + ", read " + std::to_string(c.readThatFails));
    Select(c.chip);
    FillBuffer(8);
    const auto before = logic_.ImageBuffer;
    feedback_.events.clear();
    WriteFile("in.bin", Pattern(ChipSize(c.chip), 1));
    FailingFileCalls calls;
    calls.chunk = 4096;
    calls.failing = Call::Read;
    calls.occurrence = c.readThatFails;
    calls.err = c.err;
    const ReplacedFileCalls replaced(calls);

    Load("in.bin");

    EXPECT_EQ(Errors(), std::vector<std::string>{c.error});
    EXPECT_EQ(logic_.ImageBuffer, before);
    EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
  }
}

TEST_F(FileCommandsTest, SaveOverALongerFileLeavesExactlyTheChip) {
  for (const Chip chip : {Chip::C27C512, Chip::C27C256}) {
    SCOPED_TRACE(ChipName(chip));
    Select(chip);
    FillBuffer(11);
    WriteFile("old.bin", Pattern(100000, 7));

    Save("old.bin");

    EXPECT_EQ(ReadFile("old.bin"), ChipBytes(chip));
    EXPECT_EQ(std::filesystem::file_size(dir_ / "old.bin"), ChipSize(chip));
  }
}

TEST_F(FileCommandsTest, EverySaveAppendsItsSuffix) {
  Save("a.bin");
  Save("b.abs");
  EXPECT_EQ(feedback_.bufferStatus, std::string(kEarlierStatus) +
                                        ", сохранены в файл \"a.bin\", сохранены в файл \"b.abs\"");
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
  struct Case {
    const char* what;
    bool existing;
    Call call;
    int occurrence;
    int err;
    const char* error;
  };
  // With an existing file the first open checks that it may be written, the second makes
  // the new one; writes go 4096 bytes at a time.
  const Case cases[] = {
      {"stat", true, Call::Stat, 1, EACCES, "File access denied"},
      {"file not writable", true, Call::Open, 1, EACCES, "File access denied"},
      {"cannot create", true, Call::Open, 2, EMFILE, "Too many open files"},
      {"permissions", true, Call::Fchmod, 1, EPERM, "File access denied"},
      {"disk full midway", true, Call::Write, 3, ENOSPC, "Disk full"},
      {"nothing written", true, Call::Write, 2, 0, "Disk full"},
      {"media error", true, Call::Write, 1, EIO, "I/O error 31"},
      {"sync", true, Call::Fsync, 1, EIO, "I/O error 31"},
      {"close", true, Call::Close, 2, EDQUOT, "Disk full"},
      {"rename", true, Call::Rename, 1, EXDEV, "I/O error 18"},
      {"new file, disk full", false, Call::Write, 2, ENOSPC, "Disk full"},
      {"new file, rename", false, Call::Rename, 1, EIO, "I/O error 31"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    const auto old = Pattern(70000, 13);
    if (c.existing) WriteFile("image.bin", old);
    FillBuffer(12);
    logic_.LastDir = kStartDir;
    feedback_.events.clear();
    FailingFileCalls calls;
    calls.chunk = 4096;
    calls.failing = c.call;
    calls.occurrence = c.occurrence;
    calls.err = c.err;
    const ReplacedFileCalls replaced(calls);

    Save("image.bin");

    EXPECT_EQ(Errors(), std::vector<std::string>{c.error});
    EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
    EXPECT_EQ(logic_.LastDir, DirWithSlash());
    if (c.existing) {
      EXPECT_EQ(ReadFile("image.bin"), old);
      EXPECT_EQ(Names(), std::vector<std::string>{"image.bin"});
    } else {
      EXPECT_TRUE(Names().empty());
    }
  }
}

TEST_F(FileCommandsTest, SaveOntoADirectoryIsRefused) {
  std::filesystem::create_directory(dir_ / "folder.bin");
  Save("folder.bin");
  EXPECT_EQ(Errors(), std::vector<std::string>{"File access denied"});
  EXPECT_TRUE(std::filesystem::is_empty(dir_ / "folder.bin"));
  EXPECT_EQ(Names(), std::vector<std::string>{"folder.bin"});
  EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
}

TEST_F(FileCommandsTest, CancelledDialogChangesNothing) {
  for (const bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "load");
    FillBuffer(10);
    const auto before = logic_.ImageBuffer;
    feedback_.events.clear();

    RunGuarded(feedback_, [&] {
      save ? logic_.bFSaveClick(Sender::bFSave) : logic_.bFReadClick(Sender::bFRead);
    });

    EXPECT_EQ(feedback_.events.size(), 1u);
    EXPECT_EQ(logic_.LastDir, kStartDir);
    EXPECT_EQ(logic_.ImageBuffer, before);
    EXPECT_EQ(feedback_.bufferStatus, kEarlierStatus);
    EXPECT_TRUE(Names().empty());
  }
}

}  // namespace
}  // namespace zelkor::testing
