// What the operator reads for each failure of the operating system, and what a save does to
// the file it replaces besides its bytes.
#include "image/image_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "failing_file_calls.h"
#include "image/in_out_error.h"

namespace zelkor::testing {
namespace {

struct ErrnoCase {
  int err;
  const char* text;
};

// Numbers that are the platform's own codes must not leak through with the wrong meaning:
// EIO is 5, which would read "File access denied".
const ErrnoCase kErrnoCases[] = {
    {ENOENT, "File not found"},      {ENAMETOOLONG, "Invalid filename"},
    {ENOTDIR, "Invalid filename"},   {ELOOP, "Invalid filename"},
    {EINVAL, "Invalid filename"},    {EMFILE, "Too many open files"},
    {ENFILE, "Too many open files"}, {EACCES, "File access denied"},
    {EPERM, "File access denied"},   {EROFS, "File access denied"},
    {EISDIR, "File access denied"},  {ETXTBSY, "File access denied"},
    {ENOSPC, "Disk full"},           {EDQUOT, "Disk full"},
    {EIO, "I/O error 31"},           {EINTR, "I/O error 31"},
    {ESRCH, "I/O error 31"},         {ENETDOWN, "I/O error 31"},
    {ENETUNREACH, "I/O error 31"},   {EXDEV, "I/O error 18"},
    {ESTALE, "I/O error 116"},       {EFBIG, "I/O error 27"},
};

TEST(InOutCodeFor, EachErrnoGivesItsText) {
  for (const ErrnoCase& c : kErrnoCases) {
    EXPECT_EQ(InOutErrorText(InOutCodeFor(c.err)), c.text) << "errno " << c.err;
  }
}

TEST(InOutCodeFor, EveryOtherErrnoShowsItsNumber) {
  std::set<int> listed;
  for (const ErrnoCase& c : kErrnoCases) listed.insert(c.err);
  for (int err = 1; err < 200; ++err) {
    if (listed.count(err) != 0) continue;
    EXPECT_EQ(InOutErrorText(InOutCodeFor(err)), "I/O error " + std::to_string(err));
  }
}

class SaveImageFileTest : public TempDirTest {};

TEST_F(SaveImageFileTest, ReplacedFileKeepsItsPermissions) {
  WriteFile("image.bin", Pattern(10, 1));
  ASSERT_EQ(::chmod(PathOf("image.bin").c_str(), 0640), 0);

  SaveImageFile(PathOf("image.bin"), Pattern(32768, 2));

  struct stat info {};
  ASSERT_EQ(::stat(PathOf("image.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile("image.bin"), Pattern(32768, 2));
}

TEST_F(SaveImageFileTest, NewFileFollowsTheUmask) {
  const mode_t saved = ::umask(022);
  SaveImageFile(PathOf("new.bin"), Pattern(16, 3));
  ::umask(saved);

  struct stat info {};
  ASSERT_EQ(::stat(PathOf("new.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(SaveImageFileTest, SaveThroughALinkReplacesTheFileItPointsTo) {
  WriteFile("real.bin", Pattern(100, 4));
  std::filesystem::create_symlink("real.bin", dir_ / "link.bin");

  SaveImageFile(PathOf("link.bin"), Pattern(64, 5));

  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.bin"));
  EXPECT_EQ(ReadFile("real.bin"), Pattern(64, 5));
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.bin", "real.bin"}));
}

TEST_F(SaveImageFileTest, DeviceIsNotReplacedByAFile) {
  ASSERT_EQ(::mkfifo(PathOf("pipe.bin").c_str(), 0600), 0);
  try {
    SaveImageFile(PathOf("pipe.bin"), Pattern(16, 6));
    ADD_FAILURE() << "saved onto a pipe";
  } catch (const InOutError& error) {
    EXPECT_STREQ(error.what(), "File access denied");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir_ / "pipe.bin"));
  EXPECT_EQ(Names(), std::vector<std::string>{"pipe.bin"});
}

}  // namespace
}  // namespace zelkor::testing
