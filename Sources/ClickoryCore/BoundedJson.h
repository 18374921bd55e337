// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace clickory {

// Parses JSON that comes from outside (stored settings, manifests, sound packs) with limits on
// size and nesting, so hostile or broken input fails with a message instead of exhausting memory
// or the stack. The nesting check runs over the raw bytes before the parser sees them.
inline Expected<nlohmann::json> parseBoundedJson(std::string_view bytes, std::size_t maxBytes = 8u << 20,
                                                 int maxDepth = 64)
{
    if (bytes.size() > maxBytes) {
        return Expected<nlohmann::json>::failure("the data is too large (" + std::to_string(bytes.size()) +
                                                 " bytes, at most " + std::to_string(maxBytes) + ")");
    }
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : bytes) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > maxDepth) {
                return Expected<nlohmann::json>::failure("the data is nested more than " +
                                                         std::to_string(maxDepth) + " levels deep");
            }
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    try {
        return nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::exception& error) {
        return Expected<nlohmann::json>::failure(std::string("the data is not valid JSON: ") + error.what());
    }
}

} // namespace clickory
