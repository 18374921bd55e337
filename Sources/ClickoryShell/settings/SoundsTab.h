// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryCore/profiles/SoundProfile.h"
#include "ClickoryShell/settings/SettingsTab.h"

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace clickory {

// Sounds: the catalogue grouped by category with the chosen sound marked (choosing a row previews
// and selects it; "Play" previews the highlighted row; "Remove" deletes an imported pack), the
// import button, the mix sliders, typing dynamics and a field to try the sounds in.
class SoundsTab final : public SettingsTab
{
    Q_OBJECT

public:
    SoundsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    void refresh(const FeelSettings& settings) override;

    // Previews and selects a profile, as clicking its row does.
    void choose(const std::string& profileID);
    // Deletes an imported profile's pack; the chosen sound falls back to the default when it was this.
    void removeImported(const std::string& profileID);
    // Re-reads the catalogue (after an import or removal).
    void reloadProfiles();

    QTreeWidget* profileList() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildList();
    void markSelection(const std::string& selected);
    void updateButtons();
    std::string currentProfileID() const;

    QTreeWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_remove = nullptr;
    QWidget* m_stereoWidth = nullptr;
    QWidget* m_dynamicsAmount = nullptr;
    // The imported list shown; the built-in lists never change, so the list is rebuilt only when
    // the library publishes a new one.
    std::shared_ptr<const std::vector<SoundProfile>> m_shownImported;
    std::string m_marked;
};

} // namespace clickory
