// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/packs/PackImporter.h"
#include "ClickoryApp/pipeline/Controller.h"
#include "ClickoryApp/settings/SettingsStore.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace clickory {

// The user interface around an import: a file chooser titled "Import a sound pack" that takes a
// pack folder, a .zip or a config.json; the import itself on a background thread behind a busy
// indicator; "Could not import that pack" with the reason when it fails; on success the custom
// sound is cleared and the new pack is previewed (which selects it).
namespace PackImportUI {

// Asks the user for the pack; none when cancelled.
using Chooser = std::function<std::optional<QString>(QWidget* parent)>;

// The modal chooser described above.
std::optional<QString> choosePack(QWidget* parent);

// Main thread. Returns at once after the chooser; the import goes on in the background and
// `completion` runs on the main thread when it has ended (not when the user cancelled). The store
// and controller must outlive the import. `chooser` replaces the dialog (tests); `showError`
// replaces the modal alert.
void run(SettingsStore& store, Controller& controller, const PackImporter& importer,
         std::function<void()> completion = {}, QWidget* parent = nullptr, Chooser chooser = {},
         std::function<void(const QString& reason)> showError = {});

} // namespace PackImportUI
} // namespace clickory
