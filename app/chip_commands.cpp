#include "app/zelkor_logic.h"

namespace zelkor {

// Placeholders until the blank check and the read land.
void ZelkorLogic::bBlancClick(Sender) {}
void ZelkorLogic::bReadClick(Sender) {}

}  // namespace zelkor
