// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/ImportedPack.h"

#include "ClickoryCore/BoundedJson.h"

#include <nlohmann/json.hpp>

namespace clickory {

namespace {

using Result = Expected<ImportedPack>;

// A name that stays inside the folder it is joined to.
bool isBareName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

bool readText(const nlohmann::json& object, const char* key, std::string& out, std::string& error)
{
    const auto found = object.find(key);
    if (found == object.end()) {
        error = std::string("the pack record has no \"") + key + "\"";
        return false;
    }
    if (!found->is_string()) {
        error = std::string("the pack record's \"") + key + "\" is not text";
        return false;
    }
    out = found->get<std::string>();
    return true;
}

bool readFileList(const nlohmann::json& value, const std::string& what, std::vector<std::string>& out,
                  std::string& error)
{
    if (!value.is_array()) {
        error = "the pack record's " + what + " is not a list of file names";
        return false;
    }
    out.clear();
    out.reserve(value.size());
    for (const nlohmann::json& item : value) {
        if (!item.is_string()) {
            error = "the pack record's " + what + " holds something that is not a file name";
            return false;
        }
        std::string name = item.get<std::string>();
        if (!isBareName(name)) {
            error = "the pack record's " + what + " names \"" + name + "\", which is not a plain file name";
            return false;
        }
        out.push_back(std::move(name));
    }
    return true;
}

} // namespace

const std::vector<std::string>& ImportedPack::files(std::int64_t keyCode) const
{
    const auto found = perKey.find(std::to_string(keyCode));
    return found != perKey.end() ? found->second : fallback;
}

nlohmann::json toJson(const ImportedPack& pack)
{
    nlohmann::json perKey = nlohmann::json::object();
    for (const auto& [key, names] : pack.perKey) {
        perKey[key] = names;
    }
    return nlohmann::json{
        {"id", pack.id},
        {"name", pack.name},
        {"folder", pack.folder},
        {"perKey", std::move(perKey)},
        {"fallback", pack.fallback},
        {"source", pack.source},
    };
}

std::string encodeImportedPack(const ImportedPack& pack)
{
    // Replace invalid UTF-8 rather than throwing: names come from file systems.
    return toJson(pack).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Expected<ImportedPack> importedPackFromJson(const nlohmann::json& json)
{
    if (!json.is_object()) {
        return Result::failure("the pack record is not a JSON object");
    }
    ImportedPack pack;
    std::string error;
    if (!readText(json, "id", pack.id, error) || !readText(json, "name", pack.name, error) ||
        !readText(json, "folder", pack.folder, error) || !readText(json, "source", pack.source, error)) {
        return Result::failure(error);
    }
    if (!isBareName(pack.id)) {
        return Result::failure("the pack record's id \"" + pack.id + "\" cannot name a folder of the library");
    }

    const auto perKey = json.find("perKey");
    if (perKey == json.end()) {
        return Result::failure("the pack record has no \"perKey\"");
    }
    if (!perKey->is_object()) {
        return Result::failure("the pack record's \"perKey\" is not a map from keys to file lists");
    }
    for (const auto& [key, value] : perKey->items()) {
        std::vector<std::string> names;
        if (!readFileList(value, "entry for key \"" + key + "\"", names, error)) {
            return Result::failure(error);
        }
        pack.perKey.emplace(key, std::move(names));
    }

    const auto fallback = json.find("fallback");
    if (fallback == json.end()) {
        return Result::failure("the pack record has no \"fallback\"");
    }
    if (!readFileList(*fallback, "\"fallback\"", pack.fallback, error)) {
        return Result::failure(error);
    }
    return pack;
}

Expected<ImportedPack> decodeImportedPack(std::string_view text)
{
    Expected<nlohmann::json> json = parseBoundedJson(text);
    if (!json) {
        return Result::failure("the pack record cannot be read: " + json.error());
    }
    return importedPackFromJson(*json);
}

} // namespace clickory
