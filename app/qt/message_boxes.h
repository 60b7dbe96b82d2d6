// The program's modal boxes: the plain message, the Yes/No/Cancel question and the stop box
// of the general error handler. Each is centred on the screen and returns once closed.
#pragma once

#include <QString>
#include <string>

#include "link/operator_feedback.h"

namespace zelkor {

inline constexpr const char* kConfirmCaption = "Confirm";
inline constexpr const char* kYesText = "&Yes";
inline constexpr const char* kNoText = "&No";
inline constexpr const char* kCancelText = "Cancel";

// The operator's text as the box shows it: a line feed followed by a carriage return, as
// the older messages end their lines, is one line break.
QString BoxText(const std::string& text);

void ShowMessageBox(const QString& title, const std::string& text);
ConfirmAnswer AskYesNoCancel(const std::string& question);
void ShowStopBox(const QString& title, const std::string& text);

}  // namespace zelkor
