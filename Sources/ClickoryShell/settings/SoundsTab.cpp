// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/SoundsTab.h"

#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryShell/settings/SettingsIcons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace clickory {

namespace {

constexpr int idRole = Qt::UserRole;
constexpr int importedRole = Qt::UserRole + 1;

} // namespace

SoundsTab::SoundsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* sound = section(QStringLiteral("Sound"));
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("profileID"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setMinimumHeight(240);
    m_list->setAccessibleName(QStringLiteral("Sound"));
    // Arrow keys move the highlight without switching sounds; Return or Space chooses the row.
    m_list->installEventFilter(this);
    sound->addRow(m_list);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, idRole).toString().isEmpty())
            choose(item->data(0, idRole).toString().toStdString());
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, idRole).toString().isEmpty())
            choose(item->data(0, idRole).toString().toStdString());
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this]() { updateButtons(); });

    m_summary = makeNote(QString());
    m_summary->setObjectName(QStringLiteral("profileSummary"));
    sound->addRow(m_summary);

    auto* buttons = new QHBoxLayout;
    m_play = new QPushButton(QStringLiteral("Play"));
    m_play->setObjectName(QStringLiteral("playProfile"));
    m_remove = new QPushButton(QStringLiteral("Remove"));
    m_remove->setObjectName(QStringLiteral("removeProfile"));
    m_remove->setToolTip(QStringLiteral("Deletes this imported sound pack"));
    auto* import = new QPushButton(QStringLiteral("Import a sound pack…"));
    import->setObjectName(QStringLiteral("importPack"));
    import->setEnabled(static_cast<bool>(m_services.importPack));
    buttons->addWidget(m_play);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    buttons->addWidget(import);
    sound->addRow(buttons);
    note(sound, QStringLiteral("Mechvibes packs keep a different sound for each key."));
    connect(m_play, &QPushButton::clicked, this, [this]() {
        const std::string id = currentProfileID();
        if (!id.empty())
            choose(id);
    });
    connect(m_remove, &QPushButton::clicked, this, [this]() {
        const std::string id = currentProfileID();
        if (!id.empty())
            removeImported(id);
    });
    connect(import, &QPushButton::clicked, this, [this]() {
        if (m_services.importPack)
            m_services.importPack(window(), [this]() { reloadProfiles(); });
    });

    QFormLayout* mix = section(QStringLiteral("Mix"));
    slider(mix, QStringLiteral("Volume"), &FeelSettings::masterVolume, "masterVolume", 0.0, 1.0, 0.01);
    slider(mix, QStringLiteral("Keys"), &FeelSettings::keysGain, "keysGain", 0.0, 1.5, 0.01);
    slider(mix, QStringLiteral("Space bar"), &FeelSettings::spaceGain, "spaceGain", 0.0, 1.5, 0.01);
    slider(mix, QStringLiteral("Modifier keys"), &FeelSettings::modifierGain, "modifierGain", 0.0, 1.5, 0.01);
    slider(mix, QStringLiteral("Mouse clicks"), &FeelSettings::mouseGain, "mouseGain", 0.0, 1.5, 0.01);
    slider(mix, QStringLiteral("Scrolling"), &FeelSettings::scrollGain, "scrollGain", 0.0, 1.5, 0.01);
    slider(mix, QStringLiteral("Pitch variety"), &FeelSettings::pitchVariation, "pitchVariation", 0.0, 1.0, 0.01);
    slider(mix, QStringLiteral("Loudness variety"), &FeelSettings::volumeVariation, "volumeVariation", 0.0, 1.0, 0.01);
    toggle(mix, QStringLiteral("Place sounds left to right"), &FeelSettings::stereoEnabled, "stereoEnabled");
    m_stereoWidth =
        slider(mix, QStringLiteral("Stereo width"), &FeelSettings::stereoWidth, "stereoWidth", 0.0, 1.0, 0.01);

    QFormLayout* typing = section(QStringLiteral("Typing speed"));
    toggle(typing, QStringLiteral("Get softer as you type faster"), &FeelSettings::typingDynamics, "typingDynamics");
    m_dynamicsAmount =
        slider(typing, QStringLiteral("How much"), &FeelSettings::dynamicsAmount, "dynamicsAmount", 0.0, 1.0, 0.01);
    note(typing, QStringLiteral("A sound that plays many times a second wears on the ear, so fast typing is gently "
                                "quieter."));

    QFormLayout* tryIt = section(QStringLiteral("Try it"));
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("tryIt"));
    field->setPlaceholderText(QStringLiteral("Type here to hear it"));
    tryIt->addRow(field);
    finishPage();

    rebuildList();
}

bool SoundsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const std::string id = currentProfileID();
        if (!id.empty())
            choose(id);
        return true;
    }
    return SettingsTab::eventFilter(watched, event);
}

void SoundsTab::refresh(const FeelSettings& settings)
{
    SettingsTab::refresh(settings);
    m_stereoWidth->setVisible(settings.stereoEnabled);
    // The imported list changes behind the store's back (imports, removals); look whenever a record
    // comes by, which costs a pointer comparison (a slider drag assigns many records).
    if (Profiles::imported() != m_shownImported)
        rebuildList();
    markSelection(settings.profileID);
}

void SoundsTab::reloadProfiles()
{
    rebuildList();
    markSelection(m_store.settings().profileID);
}

void SoundsTab::rebuildList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_shownImported = Profiles::imported();
    m_marked.clear();
    QFont heading = m_list->font();
    heading.setBold(true);
    for (const ProfileGroup& group : Profiles::byCategory()) {
        auto* header = new QTreeWidgetItem(m_list, QStringList{text(label(group.category))});
        header->setFlags(Qt::ItemIsEnabled);
        header->setFont(0, heading);
        header->setFirstColumnSpanned(true);
        for (const SoundProfile& profile : group.profiles) {
            auto* row = new QTreeWidgetItem(header, QStringList{QString::fromStdString(profile.name)});
            row->setData(0, idRole, QString::fromStdString(profile.id));
            row->setData(0, importedRole, profile.importedPack.has_value());
            row->setToolTip(0, QString::fromStdString(profile.summary));
            row->setIcon(0, SettingsIcons::bundled(QStringLiteral("unselected.svg")));
        }
    }
    m_list->expandAll();
    updateButtons();
}

void SoundsTab::markSelection(const std::string& selected)
{
    if (selected == m_marked)
        return;
    const QSignalBlocker block(m_list);
    const QIcon on = SettingsIcons::bundled(QStringLiteral("selected.svg"));
    const QIcon off = SettingsIcons::bundled(QStringLiteral("unselected.svg"));
    for (int g = 0; g < m_list->topLevelItemCount(); ++g) {
        QTreeWidgetItem* header = m_list->topLevelItem(g);
        for (int i = 0; i < header->childCount(); ++i) {
            QTreeWidgetItem* row = header->child(i);
            const bool isSelected = row->data(0, idRole).toString().toStdString() == selected;
            row->setIcon(0, isSelected ? on : off);
            row->setData(0, Qt::AccessibleDescriptionRole,
                         isSelected ? QStringLiteral("selected") : QStringLiteral("not selected"));
            if (isSelected) {
                m_list->setCurrentItem(row);
                m_list->scrollToItem(row);
            }
        }
    }
    m_marked = selected;
    updateButtons();
}

std::string SoundsTab::currentProfileID() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(0, idRole).toString().toStdString() : std::string();
}

void SoundsTab::updateButtons()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    const bool isProfile = item && !item->data(0, idRole).toString().isEmpty();
    m_play->setEnabled(isProfile);
    m_remove->setVisible(isProfile && item->data(0, importedRole).toBool() && m_services.importer);
    m_summary->setText(isProfile ? item->toolTip(0) : QString());
}

void SoundsTab::choose(const std::string& profileID)
{
    if (m_services.previewProfile)
        m_services.previewProfile(profileID);
    else
        m_store.update([&](FeelSettings& s) { s.profileID = profileID; });
}

void SoundsTab::removeImported(const std::string& profileID)
{
    if (!m_services.importer || !profileID.starts_with(Profiles::importedPrefix))
        return;
    m_services.importer->remove(profileID);
    if (m_store.settings().profileID == profileID)
        m_store.update([](FeelSettings& s) { s.profileID = std::string(Profiles::defaultID); });
    reloadProfiles();
}

} // namespace clickory
