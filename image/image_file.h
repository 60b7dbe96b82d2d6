// Raw image files: the chip's bytes in address order, no header. Loading never touches the
// image until the whole file has arrived; saving never harms the old file until the new one
// is on the disk.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/file_calls.h"

namespace zelkor {

// An image file opened for reading only, so that images on read-only media load too.
class ImageFileReader {
 public:
  // Throws InOutError when the file cannot be opened or is a directory.
  explicit ImageFileReader(const std::string& path, FileCalls& calls = ActiveFileCalls());

  std::uint64_t Size() const { return size_; }
  // count bytes from the start of the file, in an area of their own.
  std::vector<std::uint8_t> Read(std::size_t count);

 private:
  OpenFile file_;
  std::uint64_t size_;
};

// Replaces the file at path, or creates it, with bytes; a file that was there keeps its
// permissions. On failure throws InOutError and leaves the old file as it was.
void SaveImageFile(const std::string& path, std::span<const std::uint8_t> bytes,
                   FileCalls& calls = ActiveFileCalls());

}  // namespace zelkor
