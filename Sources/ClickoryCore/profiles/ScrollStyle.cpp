// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/ScrollStyle.h"

#include <limits>

namespace clickory {

namespace {

enum class TickVoice
{
    none,
    softTick,
    detent,
    ratchet,
    rubber,
    pebble,
};

struct StyleRow
{
    ScrollStyle style;
    std::string_view raw;
    std::string_view label;
    std::string_view recordedSet; // empty: no recorded set
    double trackpadSpacing;
    TickVoice voice;
};

constexpr double never = std::numeric_limits<double>::infinity();

// One row per style, in declaration order.
constexpr std::array<StyleRow, scrollStyleCount> styleRows = {{
    {ScrollStyle::off, "off", "Off", "", never, TickVoice::none},
    {ScrollStyle::softTick, "softTick", "Soft tick", "", 28, TickVoice::softTick},
    {ScrollStyle::detent, "detent", "Detent", "", 38, TickVoice::detent},
    {ScrollStyle::ratchet, "ratchet", "Ratchet", "", 22, TickVoice::ratchet},
    {ScrollStyle::rubber, "rubber", "Rubber wheel", "", 34, TickVoice::rubber},
    {ScrollStyle::pebble, "pebble", "Pebble", "", 30, TickVoice::pebble},
    {ScrollStyle::brush, "brush", "Soft brush", "brush", 18, TickVoice::softTick},
    {ScrollStyle::pencil, "pencil", "Pencil on paper", "pencil", 20, TickVoice::softTick},
    {ScrollStyle::sand, "sand", "Salt", "sand", 16, TickVoice::softTick},
    {ScrollStyle::rice, "rice", "Rice", "rice", 22, TickVoice::softTick},
}};

const StyleRow& row(ScrollStyle style)
{
    const auto index = static_cast<std::size_t>(style);
    return styleRows[index < styleRows.size() ? index : 0];
}

// The tick voices. Columns: durationMs, level; click gain, freq, Q, decayMs; body gain, freq,
// dropRatio, decayMs; ring gains, freqs, decaysMs; thud gain, cutoff, decayMs; spring gain, freq,
// decayMs.
Voice tickVoice(TickVoice which)
{
    switch (which) {
    case TickVoice::softTick:
        return Voice{30, 0.35f, 0.7f, 2600, 1.5f, 3, 0.3f, 600, 0.1f, 10, {}, {}, {}, 0, 900, 18, 0, 5200, 30};
    case TickVoice::detent:
        return Voice{38, 0.45f, 1, 3300, 2, 3, 0.45f, 420, 0.15f, 14, {0.3f}, {1800}, {10}, 0, 900, 18, 0, 5200, 30};
    case TickVoice::ratchet:
        return Voice{34, 0.42f, 1, 4200, 2.5f, 2, 0.2f, 800, 0, 8, {}, {}, {}, 0, 900, 18, 0.6f, 6200, 12};
    case TickVoice::rubber:
        return Voice{40, 0.4f, 0.2f, 1400, 1, 3, 0.9f, 280, 0.2f, 16, {}, {}, {}, 0.7f, 600, 10, 0, 5200, 30};
    case TickVoice::pebble:
        return Voice{36, 0.4f, 0.5f, 2200, 3, 3, 0.8f, 950, 0.05f, 12, {0.5f}, {2100}, {12}, 0, 900, 18, 0, 5200, 30};
    case TickVoice::none:
        break;
    }
    return Voice{};
}

} // namespace

std::string_view rawValue(ScrollStyle style)
{
    return row(style).raw;
}

std::optional<ScrollStyle> scrollStyleFromRaw(std::string_view raw)
{
    for (const StyleRow& candidate : styleRows) {
        if (candidate.raw == raw) {
            return candidate.style;
        }
    }
    return std::nullopt;
}

std::string_view label(ScrollStyle style)
{
    return row(style).label;
}

std::optional<Voice> voice(ScrollStyle style)
{
    const TickVoice which = row(style).voice;
    if (which == TickVoice::none) {
        return std::nullopt;
    }
    return tickVoice(which);
}

std::optional<std::string_view> recordedSetID(ScrollStyle style)
{
    const std::string_view set = row(style).recordedSet;
    if (set.empty()) {
        return std::nullopt;
    }
    return set;
}

double trackpadSpacing(ScrollStyle style)
{
    return row(style).trackpadSpacing;
}

} // namespace clickory
