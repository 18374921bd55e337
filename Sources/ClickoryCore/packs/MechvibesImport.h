// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/Expected.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace clickory {

// Reads the configuration ("config.json") of a Mechvibes sound pack into a small typed
// description, converts Mechvibes key numbers to macOS virtual key codes, and builds the per-key
// file map of an imported pack. Touches no file: the importer hands in the bytes.
//
// Of the configuration only "id", "name", "sound" and "defines" are read; every other key (the
// single/multi switch, numpad flag, tags, versions...) is ignored, and the shape of each define
// value decides what it is.
namespace MechvibesImport {

// A stretch of the pack's one sound file, in milliseconds.
struct Slice
{
    double startMs = 0;
    double durationMs = 0;

    bool operator==(const Slice&) const = default;
};

// An audio file inside the pack folder.
struct File
{
    std::string name;

    bool operator==(const File&) const = default;
};

// What a key plays: a slice of the sound file or a file of its own.
using Source = std::variant<Slice, File>;

// One key definition: the Mechvibes key number and its sound.
struct Definition
{
    std::int64_t scancode = 0;
    Source source;

    bool operator==(const Definition&) const = default;
};

struct Config
{
    std::string id;                       // "id", or the name when "id" is missing or not text
    std::string name;                     // "name", or "Imported pack"
    std::optional<std::string> soundFile; // "sound" when it is text
    std::vector<Definition> definitions;  // by scancode ascending, stable

    bool operator==(const Config&) const = default;
};

enum class Failure
{
    unsupported,   // the pack cannot be used
    notJSON,       // not JSON, or the top level is not an object
    noDefinitions, // no usable key definition
};

// The error text that parse() reports for a failure.
std::string_view message(Failure failure);

// Parses a configuration. The error text is exactly message() of one of the three failures.
Expected<Config> parse(std::string_view bytes);

// The Mechvibes key numbers (PC set-1 scan codes; extended keys carry 0x0E00 or 0xE000) with
// their macOS virtual key codes, in ascending order of key number.
inline constexpr std::size_t scancodeCount = 86;
extern const std::array<std::pair<std::int64_t, std::uint16_t>, scancodeCount> scancodeToMac;

// The macOS virtual key code for a Mechvibes key number, or nothing when it is not in the table.
std::optional<std::uint16_t> macKeyCode(std::int64_t scancode);

struct PerKeyMap
{
    std::map<std::string, std::vector<std::string>> perKey; // decimal macOS key code -> files
    std::vector<std::string> all;                           // every file given, duplicates kept

    bool operator==(const PerKeyMap&) const = default;
};

// Walks the definitions in order: each file that `fileFor` names goes to `all`, and, when the
// key number is in the table, to `perKey` under the decimal text of its macOS key code.
PerKeyMap perKeyMap(const Config& config, const std::function<std::optional<std::string>(const Definition&)>& fileFor);

} // namespace MechvibesImport

} // namespace clickory
