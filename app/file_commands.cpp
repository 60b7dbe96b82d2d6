#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "app/zelkor_logic.h"
#include "image/image_file.h"

namespace zelkor {

namespace {

inline constexpr const char* kNoDefaultSuffix = "";
inline constexpr const char* kImageSuffix = "bin";
inline constexpr const char* k27C512SizeText = "Размер файла для 27C512 должен быть 65536 байт.";
inline constexpr const char* k27C256SizeText = "Размер файла для 27C256 должен быть 32768 байт.";

// The chip's bytes from the file, or nothing once the operator has been told the size is
// wrong. The message is shown with the file still open, as it always was.
std::optional<std::vector<std::uint8_t>> ReadChipImage(const std::string& path, Chip chip,
                                                       OperatorFeedback& feedback) {
  ImageFileReader file(path);
  if (file.Size() != ChipSize(chip)) {
    feedback.ShowMessage(Is27C512(chip) ? k27C512SizeText : k27C256SizeText);
    return std::nullopt;
  }
  return file.Read(ChipSize(chip));
}

std::span<const std::uint8_t> ChipRange(const ImageBytes& buffer, Chip chip) {
  return std::span<const std::uint8_t>(buffer).subspan(ChipBufferOffset(chip), ChipSize(chip));
}

}  // namespace

void ZelkorLogic::bFReadClick(Sender) {
  const auto path = feedback_.ChooseOpenFile({LastDir, kNoDefaultSuffix});
  if (!path) return;
  LastDir = DirectoryOf(*path);
  const auto image = ReadChipImage(*path, ChipType, feedback_);
  if (!image) return;
  // Only a complete image replaces the buffer; a failed read has thrown before this point.
  std::copy(image->begin(), image->end(), ImageBuffer.begin() + ChipBufferOffset(ChipType));
  feedback_.SetBufferStatus(kBufferFromFilePrefix + Quoted(FileNameOf(*path)));
}

void ZelkorLogic::bFSaveClick(Sender) {
  const auto path = feedback_.ChooseSaveFile({LastDir, kImageSuffix});
  if (!path) return;
  LastDir = DirectoryOf(*path);
  SaveImageFile(*path, ChipRange(ImageBuffer, ChipType));
  feedback_.SetBufferStatus(feedback_.BufferStatus() + kBufferSavedPrefix +
                            Quoted(FileNameOf(*path)));
}

}  // namespace zelkor
