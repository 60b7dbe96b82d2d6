#include "app/zelkor_logic.h"
#include "operations/blank_check_read.h"

namespace zelkor {

void ZelkorLogic::bBlancClick(Sender sender) {
  // The write runs the check first, silently, and decides by IsBlank.
  const BlankCheckMode mode =
      sender == Sender::bWrite ? BlankCheckMode::Silent : BlankCheckMode::Interactive;
  OperationContext op{line_, feedback_, ChipType, LastStepChanged};
  BlankCheck(op, mode, IsBlank);
}

void ZelkorLogic::bReadClick(Sender) {
  OperationContext op{line_, feedback_, ChipType, LastStepChanged};
  ReadChip(op, ImageBuffer);
}

}  // namespace zelkor
