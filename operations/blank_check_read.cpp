#include "operations/blank_check_read.h"

#include <memory>
#include <string>

namespace zelkor {

void BlankCheck(OperationContext& op, BlankCheckMode mode, bool& isBlank) {
  const bool interactive = mode == BlankCheckMode::Interactive;
  isBlank = false;
  if (OpenOperation(op)) {
    PowerUpForReading(op);
    if (!interactive) op.feedback.StatusLine(kBlankCheckingText);
    ScanVariant scan{kReadingPrefix, interactive, true, true, [&](std::uint16_t) {
                       if (op.line.VerifyByte(kErasedByte)) return true;
                       if (interactive) op.feedback.ShowMessage(kNotBlankText);
                       return false;
                     }};
    if (RunAddressScan(op, scan) == ScanOutcome::Completed) {
      if (interactive) op.feedback.ShowMessage(kBlankText);
      isBlank = true;
    }
  }
  CloseOperation(op);
  PowerDownAfterReading(op);
}

void ReadChip(OperationContext& op, ImageBytes& buffer) {
  if (OpenOperation(op)) {
    int count = 0;
    const auto scratch = std::make_unique<ImageBytes>(buffer);
    PowerUpForReading(op);
    ScanVariant scan{kReadingPrefix, true, true, true, [&](std::uint16_t scanValue) {
                       const std::uint8_t byte = op.line.ReadDataByte();
                       (*scratch)[ScrambleAddress(scanValue)] = byte;
                       if (byte != kErasedByte) ++count;
                       return true;
                     }};
    if (RunAddressScan(op, scan) == ScanOutcome::Completed) {
      buffer = *scratch;
      op.feedback.ShowMessage(std::to_string(count) + kReadCountSuffix);
      op.feedback.SetBufferStatus(kBufferFromChipText);
    }
  }
  CloseOperation(op);
  PowerDownAfterReading(op);
}

}  // namespace zelkor
