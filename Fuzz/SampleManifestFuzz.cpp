// SPDX-License-Identifier: MIT
// Decodes arbitrary bytes as a recorded-sample manifest and checks the lookups on what decodes.
#include "ClickoryCore/samples/SampleManifest.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = clickory::SampleManifest::parse(bytes);
    auto decoded = clickory::SampleManifest::decode(bytes);
    CLICKORY_FUZZ_CHECK(parsed.hasValue() == decoded.has_value());
    if (!decoded) {
        CLICKORY_FUZZ_CHECK(!parsed.error().empty());
        return 0;
    }
    CLICKORY_FUZZ_CHECK(*decoded == parsed.value());

    std::set<std::string> urls;
    for (const auto& source : decoded->allSources()) {
        CLICKORY_FUZZ_CHECK(urls.insert(source.url).second);
    }
    for (clickory::SoundRole role : clickory::allSoundRoles()) {
        for (const auto& [id, pack] : decoded->packs) {
            auto it = pack.roles.find(std::string(clickory::rawValue(role)));
            CLICKORY_FUZZ_CHECK(decoded->files(id, role).size() == (it == pack.roles.end() ? 0 : it->second.size()));
        }
        (void)decoded->mouseFiles(role);
    }
    return 0;
}
