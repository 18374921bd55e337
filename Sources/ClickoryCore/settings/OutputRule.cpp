// SPDX-License-Identifier: MIT
#include "ClickoryCore/settings/OutputRule.h"

namespace clickory {

std::string_view rawValue(OutputRule rule)
{
    switch (rule) {
    case OutputRule::everywhere:
        return "everywhere";
    case OutputRule::headphonesOnly:
        return "headphonesOnly";
    }
    return "everywhere";
}

std::optional<OutputRule> outputRuleFromRaw(std::string_view raw)
{
    for (OutputRule rule : allOutputRules()) {
        if (rawValue(rule) == raw) {
            return rule;
        }
    }
    return std::nullopt;
}

std::string_view label(OutputRule rule)
{
    switch (rule) {
    case OutputRule::everywhere:
        return "Everywhere";
    case OutputRule::headphonesOnly:
        return "Only on headphones and external audio";
    }
    return "Everywhere";
}

} // namespace clickory
