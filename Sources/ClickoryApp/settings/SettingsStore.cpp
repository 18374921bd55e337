// SPDX-License-Identifier: MIT
#include "ClickoryApp/settings/SettingsStore.h"

#include "ClickoryCore/profiles/Profiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace clickory {

namespace fs = std::filesystem;

struct SettingsStore::Subscription::Registry
{
    std::uint64_t nextID = 1;
    std::map<std::uint64_t, std::shared_ptr<Observer>> observers;
};

SettingsStore::Subscription& SettingsStore::Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other)
    {
        reset();
        m_registry = std::move(other.m_registry);
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

void SettingsStore::Subscription::reset()
{
    if (const auto registry = m_registry.lock())
        registry->observers.erase(m_id);
    m_registry.reset();
    m_id = 0;
}

SettingsStore::SettingsStore(fs::path folder)
    : m_folder(std::move(folder))
    , m_registry(std::make_shared<Subscription::Registry>())
{
    load();
    migrate();
}

SettingsStore::~SettingsStore() = default;

fs::path SettingsStore::defaultFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return fs::path(config) / "clickory";
    const char* home = std::getenv("HOME");
    std::string homeFolder = home && home[0] ? home : "";
    if (homeFolder.empty())
    {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
            homeFolder = entry->pw_dir;
    }
    return fs::path(homeFolder.empty() ? "/tmp" : homeFolder) / ".config" / "clickory";
}

void SettingsStore::load()
{
    std::ifstream in(filePath(), std::ios::binary);
    if (!in)
        return; // first launch: no file, defaults
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();

    nlohmann::json document = nlohmann::json::parse(bytes, nullptr, false);
    if (document.is_discarded() || !document.is_object())
    {
        m_lastError = "the settings file is not a JSON object";
        m_unreadableBytes = bytes;
        return;
    }
    m_document = std::move(document);

    const auto record = m_document.find(settingsKey);
    if (record == m_document.end() || record->is_null())
        return;
    // Stored by this store as an object; a string holding the encoded record is read as well.
    Expected<FeelSettings> decoded = record->is_string()   ? FeelSettings::decodeJSON(record->get<std::string>())
                                     : record->is_object() ? FeelSettings::fromJSON(*record)
                                                           : Expected<FeelSettings>::failure("not a JSON object");
    if (decoded)
    {
        m_settings = std::move(decoded).value();
        return;
    }
    m_lastError = "the stored settings could not be read: " + decoded.error();
    m_unreadableBytes = bytes;
}

void SettingsStore::migrate()
{
    if (defaultsVersion() >= currentVersion)
        return;
    FeelSettings migrated = m_settings;
    migrated.profileID = std::string(Profiles::defaultID);
    setSettings(std::move(migrated));
    m_document[versionKey] = currentVersion;
    writeDocument();
}

std::int64_t SettingsStore::defaultsVersion() const
{
    const auto it = m_document.find(versionKey);
    if (it == m_document.end() || !it->is_number_integer())
        return 0;
    return it->get<std::int64_t>();
}

bool SettingsStore::onboarded() const
{
    const auto it = m_document.find(onboardedKey);
    return it != m_document.end() && it->is_boolean() && it->get<bool>();
}

void SettingsStore::setOnboarded(bool onboarded)
{
    m_document[onboardedKey] = onboarded;
    writeDocument();
}

void SettingsStore::setSettings(FeelSettings settings)
{
    m_settings = std::move(settings);
    notify();
    save();
}

void SettingsStore::update(const std::function<void(FeelSettings&)>& change)
{
    FeelSettings copy = m_settings;
    change(copy);
    setSettings(std::move(copy));
}

SettingsStore::Subscription SettingsStore::subscribe(Observer observer)
{
    const std::uint64_t id = m_registry->nextID++;
    m_registry->observers.emplace(id, std::make_shared<Observer>(std::move(observer)));
    return Subscription(m_registry, id);
}

void SettingsStore::notify()
{
    // A snapshot, so that observers may subscribe or unsubscribe while being told.
    std::vector<std::shared_ptr<Observer>> observers;
    observers.reserve(m_registry->observers.size());
    for (const auto& [id, observer] : m_registry->observers)
        observers.push_back(observer);
    for (const auto& observer : observers)
    {
        if (*observer)
            (*observer)(m_settings);
    }
}

bool SettingsStore::save()
{
    FeelSettings stored = m_settings;
    stored.clamp();
    try
    {
        m_document[settingsKey] = stored.toJSON();
    }
    catch (const std::exception& error)
    {
        m_lastError = std::string("the settings could not be encoded: ") + error.what();
        return false;
    }
    return writeDocument();
}

bool SettingsStore::writeDocument()
{
    std::string bytes;
    try
    {
        bytes = m_document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    catch (const std::exception& error)
    {
        m_lastError = std::string("the settings could not be encoded: ") + error.what();
        return false;
    }
    std::error_code ignored;
    fs::create_directories(m_folder, ignored);
    if (m_unreadableBytes)
    {
        // Keep what the user had before it is replaced; without that copy, do not replace it.
        if (const auto failure = writeAtomically(badCopyPath(), *m_unreadableBytes))
        {
            m_lastError = "could not keep a copy of the unreadable settings: " + *failure;
            return false;
        }
        m_unreadableBytes.reset();
    }
    if (const auto failure = writeAtomically(filePath(), bytes))
    {
        m_lastError = "could not save the settings: " + *failure;
        return false;
    }
    m_lastError.clear();
    return true;
}

std::optional<std::string> SettingsStore::writeAtomically(const fs::path& path, const std::string& bytes)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return "cannot create a temporary file in " + folder.string() + ": " + std::strerror(errno);
    auto fail = [&](const std::string& what) {
        const std::string reason = what + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::optional<std::string>(reason);
    };
    ::fchmod(fd, 0600);
    std::size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return fail("cannot write " + temporary);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail("cannot flush " + temporary);
    if (::close(fd) != 0)
    {
        ::unlink(temporary.c_str());
        return "cannot close " + temporary + ": " + std::strerror(errno);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0)
    {
        const std::string reason = "cannot replace " + path.string() + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return reason;
    }
    // Make the rename itself durable.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0)
    {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

} // namespace clickory
