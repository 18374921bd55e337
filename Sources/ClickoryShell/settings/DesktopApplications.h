// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace clickory {

// One installed application as its desktop entry describes it.
struct DesktopApplication
{
    // The desktop-entry id: the entry's path below its "applications" folder with "/" replaced by
    // "-", without ".desktop" (e.g. "org.gnome.TextEditor"). This is the application id that the
    // workspace reports and the settings store.
    std::string id;
    QString name;
    // An icon-theme name or an absolute file path; may be empty.
    QString icon;
    // StartupWMClass, when the entry names the window class its windows carry.
    QString windowClass;
};

// The installed applications, read from desktop entries (freedesktop Desktop Entry and Menu
// specifications). Thread: any; reads files.
namespace DesktopApplications {

// Every application entry shown in menus, from the folders in order (an id found in an earlier
// folder hides later ones), sorted by name. Entries that are hidden, NoDisplay or not of type
// Application are left out.
std::vector<DesktopApplication> list(const std::vector<std::filesystem::path>& folders);

// The application an id names: an entry with that id, else one whose StartupWMClass or id matches
// the id without regard to case (window classes often differ in case from entry ids).
std::optional<DesktopApplication> find(const std::string& id, const std::vector<DesktopApplication>& apps);

// The name shown for an id: the application's name, else the id itself.
QString displayName(const std::string& id, const std::vector<DesktopApplication>& apps);

// Reads one entry file; none when it is not a shown application.
std::optional<DesktopApplication> read(const std::filesystem::path& file, std::string id);

} // namespace DesktopApplications
} // namespace clickory
