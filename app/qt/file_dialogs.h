// The open and save dialogs of the image files: Qt's own dialogs, so that they look and
// behave the same on every desktop, with the program's one image-file filter.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "link/operator_feedback.h"

class QWidget;

namespace zelkor {

// Display text first; Qt takes the patterns from the last parentheses and hides them.
inline constexpr const char* kImageFilesFilter = "Двоичные файлы (*.bin, *.abs) (*.bin *.abs)";
inline constexpr const char* kAllFilesFilter = "Все файлы (*)";

QStringList ImageNameFilters();

// The chosen file's absolute path in UTF-8, or nothing when the operator cancels.
std::optional<std::string> ChooseOpenImage(QWidget* parent, const FileDialogSetup& setup);
std::optional<std::string> ChooseSaveImage(QWidget* parent, const FileDialogSetup& setup);

}  // namespace zelkor
