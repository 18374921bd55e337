// SPDX-License-Identifier: MIT
// Decodes arbitrary bytes as stored settings; what decodes must survive encoding and decoding again.
#include "ClickoryCore/settings/FeelSettings.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto settings = clickory::FeelSettings::decodeJSON(bytes);
    if (!settings) {
        CLICKORY_FUZZ_CHECK(!settings.error().empty());
        return 0;
    }
    // Decoded settings are clamped, so clamping again changes nothing.
    clickory::FeelSettings clamped = *settings;
    clamped.clamp();
    CLICKORY_FUZZ_CHECK(clamped == *settings);

    auto again = clickory::FeelSettings::decodeJSON(settings->encodeJSON());
    CLICKORY_FUZZ_CHECK(again.hasValue());
    CLICKORY_FUZZ_CHECK(*again == *settings);
    return 0;
}
