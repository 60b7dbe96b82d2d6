// The one 64 KiB chip image the program works on, and the texts that tell the operator
// where its contents came from.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/chip_geometry.h"

namespace zelkor {

inline constexpr std::uint8_t kErasedByte = 0xFF;

using ImageBytes = std::array<std::uint8_t, kBufferSize>;

inline constexpr const char* kBufferEmptyText = "Буфер пустой (0FFh)";
inline constexpr const char* kBufferFromChipText = "В буфере данные, считанные из ПЗУ";
inline constexpr const char* kBufferFromFilePrefix = "В буфере данные из файла ";
inline constexpr const char* kBufferSavedPrefix = ", сохранены в файл ";
inline constexpr const char* kBufferWrittenSuffix = ", записаны в ПЗУ";

// The chosen path's name without its directory: what follows the last slash.
std::string FileNameOf(const std::string& path);
// The chosen path's directory, up to and including its last slash.
std::string DirectoryOf(const std::string& path);
std::string Quoted(const std::string& name);

}  // namespace zelkor
