// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/settings/FeelSettings.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace clickory {

// The one live settings record of the running application, persisted in the user-defaults file
// and published to observers.
//
// The file is `<folder>/settings.json`, one JSON object holding the application's three keys:
// "clickory.settings.v1" (the settings record as a JSON object), "clickory.defaultsVersion" (the
// defaults migration that has run) and "clickory.onboarded". Other keys in the file are kept as
// they are. Every write is atomic: a temporary file in the same folder is written, flushed to disk
// and renamed over the old one, so a crash leaves either the previous or the new file.
//
// Loading never fails: a missing file or key gives the defaults; an unreadable file or record
// also gives the defaults, and the unreadable file is kept as `settings.json.bad` beside it before
// the first save replaces it. Then the defaults migration runs once (versions below 2 are moved to
// the default sound).
//
// Thread: main only. Observers are called synchronously during an assignment, before the save.
class SettingsStore
{
public:
    static constexpr const char* settingsKey = "clickory.settings.v1";
    static constexpr const char* versionKey = "clickory.defaultsVersion";
    static constexpr const char* onboardedKey = "clickory.onboarded";
    static constexpr std::int64_t currentVersion = 2;
    static constexpr const char* fileName = "settings.json";
    static constexpr const char* badSuffix = ".bad";

    using Observer = std::function<void(const FeelSettings&)>;

    // Keeps an observer registered while it lives. Movable; destroying or reset()ting it removes the
    // observer. May outlive the store.
    class Subscription
    {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class SettingsStore;
        struct Registry;
        Subscription(std::weak_ptr<Registry> registry, std::uint64_t id) : m_registry(std::move(registry)), m_id(id) {}
        std::weak_ptr<Registry> m_registry;
        std::uint64_t m_id = 0;
    };

    // Loads and migrates the record stored in `folder` (created at the first save if missing).
    explicit SettingsStore(std::filesystem::path folder);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME/clickory when that is an absolute path, else ~/.config/clickory.
    static std::filesystem::path defaultFolder();

    const FeelSettings& settings() const { return m_settings; }

    // Replaces the record: observers are told, then a clamped copy is saved. Every assignment saves,
    // also of an unchanged record. A failed save keeps the previous file (reason in lastError()).
    void setSettings(FeelSettings settings);

    // Changes fields of a copy of the current record and assigns it.
    void update(const std::function<void(FeelSettings&)>& change);

    // Registers an observer of every later assignment; it is not called now.
    [[nodiscard]] Subscription subscribe(Observer observer);

    // "clickory.onboarded", false when absent or not a Boolean. Setting it saves at once.
    bool onboarded() const;
    void setOnboarded(bool onboarded);

    // "clickory.defaultsVersion", 0 when absent or not an integer.
    std::int64_t defaultsVersion() const;

    std::filesystem::path filePath() const { return m_folder / fileName; }
    std::filesystem::path badCopyPath() const { return m_folder / (std::string(fileName) + badSuffix); }

    // Why the last save failed, or why the stored record was unreadable; empty when all went well.
    const std::string& lastError() const { return m_lastError; }

    // Writes `bytes` to `path` atomically (temporary file in the same folder, fsync, rename, fsync of
    // the folder). Nothing on success, else the reason; on failure the old file is untouched.
    static std::optional<std::string> writeAtomically(const std::filesystem::path& path, const std::string& bytes);

private:
    void load();
    void migrate();
    bool save();
    bool writeDocument();
    void notify();

    std::filesystem::path m_folder;
    FeelSettings m_settings;
    // Everything the file holds, as last read or written.
    nlohmann::json m_document = nlohmann::json::object();
    // The unreadable file's bytes, kept beside it before the first save.
    std::optional<std::string> m_unreadableBytes;
    std::shared_ptr<Subscription::Registry> m_registry;
    std::string m_lastError;
};

} // namespace clickory
