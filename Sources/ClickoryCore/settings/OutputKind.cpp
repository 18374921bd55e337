// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/OutputKind.h"

namespace clickory {

std::string_view rawValue(OutputKind kind)
{
    switch (kind) {
    case OutputKind::builtInSpeakers:
        return "builtInSpeakers";
    case OutputKind::headphones:
        return "headphones";
    case OutputKind::external:
        return "external";
    case OutputKind::unknown:
        return "unknown";
    }
    return "unknown";
}

std::optional<OutputKind> outputKindFromRaw(std::string_view raw)
{
    for (OutputKind kind : allOutputKinds()) {
        if (rawValue(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace clickory
