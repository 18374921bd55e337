// SPDX-License-Identifier: MIT
#include "ClickoryCore/packs/MechvibesImport.h"

#include "ClickoryCore/BoundedJson.h"

#include <algorithm>
#include <charconv>

namespace clickory::MechvibesImport {

namespace {

// A define key: an optional "+" or "-" followed by decimal digits and nothing else, within the
// range of a signed 64-bit integer.
std::optional<std::int64_t> scancodeFromKey(std::string_view key)
{
    // from_chars takes a leading "-" but not a "+"; the sign stays attached so that the most
    // negative value is in range.
    std::string_view text = key;
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-' && text.data() == key.data()) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

Expected<Config> failure(Failure kind)
{
    return Expected<Config>::failure(std::string(message(kind)));
}

} // namespace

std::string_view message(Failure failure)
{
    switch (failure) {
    case Failure::unsupported:
        return "The pack slices a sound file but names none.";
    case Failure::notJSON:
        return "The configuration is not a JSON object.";
    case Failure::noDefinitions:
        return "The configuration defines no usable key sounds.";
    }
    return "The configuration is not a JSON object.";
}

Expected<Config> parse(std::string_view bytes)
{
    auto document = parseBoundedJson(bytes);
    if (!document || !document->is_object()) {
        return failure(Failure::notJSON);
    }
    const nlohmann::json& root = *document;

    Config config;
    auto name = root.find("name");
    config.name = name != root.end() && name->is_string() ? name->get<std::string>() : "Imported pack";
    auto id = root.find("id");
    config.id = id != root.end() && id->is_string() ? id->get<std::string>() : config.name;
    auto sound = root.find("sound");
    if (sound != root.end() && sound->is_string()) {
        config.soundFile = sound->get<std::string>();
    }

    auto defines = root.find("defines");
    if (defines == root.end() || !defines->is_object()) {
        return failure(Failure::noDefinitions);
    }
    bool slices = false;
    for (const auto& [key, value] : defines->items()) {
        auto scancode = scancodeFromKey(key);
        if (!scancode) {
            continue;
        }
        if (value.is_array() && value.size() >= 2 && value[0].is_number() && value[1].is_number()) {
            config.definitions.push_back({*scancode, Slice{value[0].get<double>(), value[1].get<double>()}});
            slices = true;
        } else if (value.is_string()) {
            config.definitions.push_back({*scancode, File{value.get<std::string>()}});
        }
    }
    if (config.definitions.empty()) {
        return failure(Failure::noDefinitions);
    }
    if (slices && !config.soundFile) {
        return failure(Failure::unsupported);
    }
    std::stable_sort(config.definitions.begin(), config.definitions.end(),
                     [](const Definition& a, const Definition& b) { return a.scancode < b.scancode; });
    return config;
}

// clang-format off
const std::array<std::pair<std::int64_t, std::uint16_t>, scancodeCount> scancodeToMac = {{
    {1, 53},   {2, 18},   {3, 19},   {4, 20},   {5, 21},   {6, 23},   {7, 22},   {8, 26},
    {9, 28},   {10, 25},  {11, 29},  {12, 27},  {13, 24},  {14, 51},  {15, 48},  {16, 12},
    {17, 13},  {18, 14},  {19, 15},  {20, 17},  {21, 16},  {22, 32},  {23, 34},  {24, 31},
    {25, 35},  {26, 33},  {27, 30},  {28, 36},  {29, 59},  {30, 0},   {31, 1},   {32, 2},
    {33, 3},   {34, 5},   {35, 4},   {36, 38},  {37, 40},  {38, 37},  {39, 41},  {40, 39},
    {41, 50},  {42, 56},  {43, 42},  {44, 6},   {45, 7},   {46, 8},   {47, 9},   {48, 11},
    {49, 45},  {50, 46},  {51, 43},  {52, 47},  {53, 44},  {54, 60},  {55, 67},  {56, 58},
    {57, 49},  {58, 57},  {59, 122}, {60, 120}, {61, 99},  {62, 118}, {63, 96},  {64, 97},
    {65, 98},  {66, 100}, {67, 101}, {68, 109}, {87, 103}, {88, 111},
    {0x0E1C, 76},  {0x0E1D, 62},  {0x0E35, 75},  {0x0E38, 61},  {0x0E47, 115}, {0x0E49, 116},
    {0x0E4F, 119}, {0x0E51, 121}, {0x0E52, 114}, {0x0E53, 117}, {0x0E5B, 55},  {0x0E5C, 54},
    {0xE048, 126}, {0xE04B, 123}, {0xE04D, 124}, {0xE050, 125},
}};
// clang-format on

std::optional<std::uint16_t> macKeyCode(std::int64_t scancode)
{
    auto it = std::lower_bound(scancodeToMac.begin(), scancodeToMac.end(), scancode,
                               [](const auto& entry, std::int64_t key) { return entry.first < key; });
    if (it == scancodeToMac.end() || it->first != scancode) {
        return std::nullopt;
    }
    return it->second;
}

PerKeyMap perKeyMap(const Config& config, const std::function<std::optional<std::string>(const Definition&)>& fileFor)
{
    PerKeyMap result;
    for (const Definition& definition : config.definitions) {
        std::optional<std::string> file = fileFor(definition);
        if (!file) {
            continue;
        }
        result.all.push_back(*file);
        if (auto code = macKeyCode(definition.scancode)) {
            result.perKey[std::to_string(*code)].push_back(std::move(*file));
        }
    }
    return result;
}

} // namespace clickory::MechvibesImport
