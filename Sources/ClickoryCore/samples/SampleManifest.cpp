// SPDX-License-Identifier: MIT
#include "ClickoryCore/samples/SampleManifest.h"

#include "ClickoryCore/BoundedJson.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <unordered_set>
#include <utility>

namespace clickory {

namespace {

using nlohmann::json;

// Keyed decoding with a message naming the key path of the first problem. Each read returns false
// and leaves the message in `error` when the value is missing or has the wrong type.
class Decoder
{
public:
    std::string error;

    bool fail(const std::string& path, std::string_view problem)
    {
        error = "\"" + path + "\" " + std::string(problem);
        return false;
    }

    // The member `key` of `object`, or null when absent. `object` is known to be an object.
    static const json& member(const json& object, const std::string& key)
    {
        static const json null;
        auto it = object.find(key);
        return it == object.end() ? null : *it;
    }

    bool string(const json& value, const std::string& path, std::string& out)
    {
        if (!value.is_string()) {
            return fail(path, value.is_null() ? "is missing" : "is not text");
        }
        out = value.get<std::string>();
        return true;
    }

    bool number(const json& value, const std::string& path, double& out)
    {
        if (!value.is_number()) {
            return fail(path, value.is_null() ? "is missing" : "is not a number");
        }
        out = value.get<double>();
        return true;
    }

    // An integer; a float with an integral value in range is accepted as well.
    bool integer(const json& value, const std::string& path, std::int64_t& out)
    {
        if (value.is_number_integer() && !value.is_number_unsigned()) {
            out = value.get<std::int64_t>();
            return true;
        }
        if (value.is_number_unsigned()) {
            auto raw = value.get<std::uint64_t>();
            if (raw <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                out = static_cast<std::int64_t>(raw);
                return true;
            }
            return fail(path, "is out of range");
        }
        if (value.is_number_float()) {
            double raw = value.get<double>();
            // 2^63 is the first double beyond the range of int64.
            if (std::trunc(raw) == raw && raw >= -9223372036854775808.0 && raw < 9223372036854775808.0) {
                out = static_cast<std::int64_t>(raw);
                return true;
            }
            return fail(path, "is not an integer");
        }
        return fail(path, value.is_null() ? "is missing" : "is not an integer");
    }

    bool boolean(const json& value, const std::string& path, bool& out)
    {
        if (!value.is_boolean()) {
            return fail(path, value.is_null() ? "is missing" : "is not true or false");
        }
        out = value.get<bool>();
        return true;
    }

    bool object(const json& value, const std::string& path)
    {
        if (!value.is_object()) {
            return fail(path, value.is_null() ? "is missing" : "is not an object");
        }
        return true;
    }

    bool array(const json& value, const std::string& path)
    {
        if (!value.is_array()) {
            return fail(path, value.is_null() ? "is missing" : "is not a list");
        }
        return true;
    }

    template <typename T, typename Element>
    bool list(const json& value, const std::string& path, std::vector<T>& out, Element element)
    {
        if (!array(value, path)) {
            return false;
        }
        out.clear();
        out.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            T item{};
            if (!element(value[i], path + "[" + std::to_string(i) + "]", item)) {
                return false;
            }
            out.push_back(std::move(item));
        }
        return true;
    }

    template <typename T, typename Element>
    bool dictionary(const json& value, const std::string& path, std::map<std::string, T>& out, Element element)
    {
        if (!object(value, path)) {
            return false;
        }
        out.clear();
        for (const auto& [key, item] : value.items()) {
            T decoded{};
            if (!element(item, path + "." + key, decoded)) {
                return false;
            }
            out.emplace(key, std::move(decoded));
        }
        return true;
    }

    // An optional value: absent and null give nothing, anything else must decode.
    template <typename T, typename Element>
    bool optional(const json& value, const std::string& path, std::optional<T>& out, Element element)
    {
        if (value.is_null()) {
            out.reset();
            return true;
        }
        T decoded{};
        if (!element(value, path, decoded)) {
            return false;
        }
        out = std::move(decoded);
        return true;
    }

    bool strings(const json& value, const std::string& path, std::vector<std::string>& out)
    {
        return list(value, path, out,
                    [this](const json& v, const std::string& p, std::string& s) { return string(v, p, s); });
    }

    bool roleFiles(const json& value, const std::string& path, SampleManifest::RoleFiles& out)
    {
        return dictionary(value, path, out, [this](const json& v, const std::string& p, std::vector<std::string>& s) {
            return strings(v, p, s);
        });
    }

    bool role(const json& value, const std::string& path, SoundRole& out)
    {
        std::string raw;
        if (!string(value, path, raw)) {
            return false;
        }
        auto decoded = soundRoleFromRaw(raw);
        if (!decoded) {
            return fail(path, "is not a sound role");
        }
        out = *decoded;
        return true;
    }

    bool source(const json& value, const std::string& path, SampleManifest::Source& out)
    {
        return object(value, path) && string(member(value, "title"), path + ".title", out.title) &&
               string(member(value, "author"), path + ".author", out.author) &&
               string(member(value, "url"), path + ".url", out.url) &&
               string(member(value, "license"), path + ".license", out.license);
    }

    bool sources(const json& value, const std::string& path, std::vector<SampleManifest::Source>& out)
    {
        return list(value, path, out,
                    [this](const json& v, const std::string& p, SampleManifest::Source& s) { return source(v, p, s); });
    }

    bool pack(const json& value, const std::string& path, SampleManifest::Pack& out)
    {
        auto numberOf = [this](const json& v, const std::string& p, double& d) { return number(v, p, d); };
        return object(value, path) && string(member(value, "name"), path + ".name", out.name) &&
               roleFiles(member(value, "roles"), path + ".roles", out.roles) &&
               sources(member(value, "sources"), path + ".sources", out.sources) &&
               optional(member(value, "silent"), path + ".silent", out.silent,
                        [this](const json& v, const std::string& p, std::vector<SoundRole>& roles) {
                            return list(v, p, roles, [this](const json& r, const std::string& rp, SoundRole& one) {
                                return role(r, rp, one);
                            });
                        }) &&
               optional(member(value, "gain"), path + ".gain", out.gain, numberOf) &&
               optional(member(value, "pitchBins"), path + ".pitchBins", out.pitchBins,
                        [this, numberOf](const json& v, const std::string& p, std::vector<double>& bins) {
                            return list(v, p, bins, numberOf);
                        }) &&
               optional(member(value, "pitchScale"), path + ".pitchScale", out.pitchScale, numberOf) &&
               optional(member(value, "mouseFromKeys"), path + ".mouseFromKeys", out.mouseFromKeys,
                        [this](const json& v, const std::string& p, bool& b) { return boolean(v, p, b); });
    }

    bool scrollSet(const json& value, const std::string& path, SampleManifest::ScrollSet& out)
    {
        return object(value, path) && strings(member(value, "files"), path + ".files", out.files) &&
               number(member(value, "gain"), path + ".gain", out.gain) &&
               sources(member(value, "sources"), path + ".sources", out.sources);
    }

    bool mouseSet(const json& value, const std::string& path, SampleManifest::MouseSet& out)
    {
        return object(value, path) && roleFiles(member(value, "roles"), path + ".roles", out.roles) &&
               sources(member(value, "sources"), path + ".sources", out.sources);
    }

    bool manifest(const json& value, SampleManifest& out)
    {
        if (!value.is_object()) {
            error = "the manifest is not a JSON object";
            return false;
        }
        return integer(member(value, "version"), "version", out.version) &&
               dictionary(member(value, "packs"), "packs", out.packs,
                          [this](const json& v, const std::string& p, SampleManifest::Pack& one) {
                              return pack(v, p, one);
                          }) &&
               optional(member(value, "mouse"), "mouse", out.mouse,
                        [this](const json& v, const std::string& p, SampleManifest::MouseSet& one) {
                            return mouseSet(v, p, one);
                        }) &&
               optional(
                   member(value, "scroll"), "scroll", out.scroll,
                   [this](const json& v, const std::string& p, std::map<std::string, SampleManifest::ScrollSet>& sets) {
                       return dictionary(v, p, sets,
                                         [this](const json& s, const std::string& sp, SampleManifest::ScrollSet& one) {
                                             return scrollSet(s, sp, one);
                                         });
                   });
    }
};

std::vector<std::string> filesOf(const SampleManifest::RoleFiles& roles, SoundRole role)
{
    auto it = roles.find(std::string(rawValue(role)));
    return it == roles.end() ? std::vector<std::string>{} : it->second;
}

} // namespace

Expected<SampleManifest> SampleManifest::parse(std::string_view bytes)
{
    auto document = parseBoundedJson(bytes, sampleManifestMaxBytes);
    if (!document) {
        return Expected<SampleManifest>::failure(document.error());
    }
    Decoder decoder;
    SampleManifest manifest;
    if (!decoder.manifest(*document, manifest)) {
        return Expected<SampleManifest>::failure(decoder.error);
    }
    return manifest;
}

std::optional<SampleManifest> SampleManifest::decode(std::string_view bytes)
{
    auto parsed = parse(bytes);
    if (!parsed) {
        return std::nullopt;
    }
    return std::move(parsed).value();
}

std::optional<SampleManifest> SampleManifest::load(const std::filesystem::path& folder)
{
    std::ifstream file(folder / "manifest.json", std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    // Read at most one byte more than the limit, so an oversized file is refused without being
    // read whole.
    std::string bytes;
    char chunk[16384];
    while (bytes.size() <= sampleManifestMaxBytes) {
        file.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (!file) {
            break;
        }
    }
    if (file.bad() || bytes.size() > sampleManifestMaxBytes) {
        return std::nullopt;
    }
    return decode(bytes);
}

std::vector<std::string> SampleManifest::files(std::string_view pack, SoundRole role) const
{
    auto it = packs.find(std::string(pack));
    return it == packs.end() ? std::vector<std::string>{} : filesOf(it->second.roles, role);
}

std::vector<std::string> SampleManifest::mouseFiles(SoundRole role) const
{
    return mouse ? filesOf(mouse->roles, role) : std::vector<std::string>{};
}

std::vector<SampleManifest::Source> SampleManifest::allSources() const
{
    std::vector<Source> result;
    std::unordered_set<std::string> seen;
    auto add = [&](const std::vector<Source>& sources) {
        for (const Source& source : sources) {
            if (seen.insert(source.url).second) {
                result.push_back(source);
            }
        }
    };
    for (const auto& [id, pack] : packs) {
        add(pack.sources);
    }
    if (mouse) {
        add(mouse->sources);
    }
    if (scroll) {
        for (const auto& [style, set] : *scroll) {
            add(set.sources);
        }
    }
    return result;
}

} // namespace clickory
