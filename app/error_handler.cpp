#include "app/error_handler.h"

#include <exception>

namespace zelkor {

void RunGuarded(OperatorFeedback& feedback, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    feedback.ShowError(error.what());
  }
}

}  // namespace zelkor
