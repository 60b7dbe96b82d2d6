// The general error handler: an error raised inside a handler ends that handler, is shown in
// a stop box, and the event loop goes on.
#pragma once

#include <functional>

#include "link/operator_feedback.h"

namespace zelkor {

void RunGuarded(OperatorFeedback& feedback, const std::function<void()>& handler);

}  // namespace zelkor
