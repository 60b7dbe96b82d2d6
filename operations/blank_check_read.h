// The two operations that only read the chip: the blank check, interactive from its button
// or silent before a write, and the read of the whole chip into the image buffer.
#pragma once

#include "image/image_buffer.h"
#include "operations/operation_frame.h"

namespace zelkor {

inline constexpr const char* kReadingPrefix = "Читаем адрес ";
inline constexpr const char* kBlankCheckingText = "Проверка чистоты...";
inline constexpr const char* kNotBlankText = "ПЗУ не чистая!";
inline constexpr const char* kBlankText = "ПЗУ чистая";
inline constexpr const char* kReadCountSuffix = " байт, отличных от FF.";

enum class BlankCheckMode { Interactive, Silent };

// Leaves isBlank true only when the board answered, every byte read 0xFF and the counting
// check passed.
void BlankCheck(OperationContext& op, BlankCheckMode mode, bool& isBlank);

// Replaces the chip's range of the buffer only when the whole scan has passed its counting
// check, so a failed read never leaves data the operator did not choose.
void ReadChip(OperationContext& op, ImageBytes& buffer);

}  // namespace zelkor
