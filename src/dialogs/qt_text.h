#pragma once

#include <QString>
#include <string_view>

namespace brisklo::dialogs {

// The engine's UTF-8 texts as Qt strings.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace brisklo::dialogs
