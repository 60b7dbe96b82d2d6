#include "app/zelkor_logic.h"

namespace zelkor {

// Placeholders until the image files land.
void ZelkorLogic::bFReadClick(Sender) {}
void ZelkorLogic::bFSaveClick(Sender) {}

}  // namespace zelkor
