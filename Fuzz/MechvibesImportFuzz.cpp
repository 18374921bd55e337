// SPDX-License-Identifier: MIT
// Parses arbitrary bytes as a Mechvibes configuration and checks what a successful parse promises.
#include "ClickoryCore/packs/MechvibesImport.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace MV = clickory::MechvibesImport;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto config = MV::parse(bytes);
    if (!config) {
        const std::string& error = config.error();
        CLICKORY_FUZZ_CHECK(error == MV::message(MV::Failure::notJSON) ||
                            error == MV::message(MV::Failure::noDefinitions) ||
                            error == MV::message(MV::Failure::unsupported));
        return 0;
    }
    CLICKORY_FUZZ_CHECK(!config->definitions.empty());
    for (std::size_t i = 0; i < config->definitions.size(); ++i) {
        const MV::Definition& definition = config->definitions[i];
        CLICKORY_FUZZ_CHECK(i == 0 || config->definitions[i - 1].scancode <= definition.scancode);
        CLICKORY_FUZZ_CHECK(!std::holds_alternative<MV::Slice>(definition.source) || config->soundFile.has_value());
    }
    std::size_t index = 0;
    auto map = MV::perKeyMap(*config, [&index](const MV::Definition&) -> std::optional<std::string> {
        // Every other definition gets a file.
        return index++ % 2 == 0 ? std::optional<std::string>(std::to_string(index)) : std::nullopt;
    });
    CLICKORY_FUZZ_CHECK(map.all.size() == (config->definitions.size() + 1) / 2);
    std::size_t mapped = 0;
    for (const auto& [key, files] : map.perKey) {
        mapped += files.size();
    }
    CLICKORY_FUZZ_CHECK(mapped <= map.all.size());
    return 0;
}
