// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/AppsTab.h"

#include "ClickoryCore/profiles/Profiles.h"
#include "ClickoryShell/settings/SettingsIcons.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace clickory {

namespace {

QIcon applicationIcon(const DesktopApplication* app)
{
    if (app && !app->icon.isEmpty()) {
        QIcon icon = app->icon.startsWith(QLatin1Char('/')) ? QIcon(app->icon) : QIcon::fromTheme(app->icon);
        if (!icon.isNull())
            return icon;
    }
    return SettingsIcons::themed({"application-x-executable"}, QStringLiteral("apps.svg"));
}

// Replaces a list's rows: the old ones are deleted later, since a row's own button may be what
// caused the change.
QWidget* freshContent(QVBoxLayout* rows, QWidget* old)
{
    if (old) {
        old->hide();
        old->deleteLater();
    }
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(content);
    return content;
}

} // namespace

AppsTab::AppsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent), m_apps(DesktopApplications::list(services.applicationFolders))
{
    QFormLayout* silence = section(QStringLiteral("Silence Clickory in these apps"));
    m_mutedRows = new QVBoxLayout;
    silence->addRow(m_mutedRows);
    auto* mutedButtons = new QHBoxLayout;
    auto* addApp = new QPushButton(QStringLiteral("Add an app…"));
    addApp->setObjectName(QStringLiteral("mutedBundleIDs.add"));
    m_addFrontMuted = new QPushButton(QStringLiteral("Add the frontmost app"));
    m_addFrontMuted->setObjectName(QStringLiteral("mutedBundleIDs.addFrontmost"));
    mutedButtons->addWidget(addApp);
    mutedButtons->addWidget(m_addFrontMuted);
    mutedButtons->addStretch(1);
    silence->addRow(mutedButtons);
    connect(addApp, &QPushButton::clicked, this, [this]() {
        const std::optional<std::string> id =
            m_services.chooseApplication ? m_services.chooseApplication(window()) : chooseApplication(window(), m_apps);
        if (id)
            addMuted(*id);
    });
    connect(m_addFrontMuted, &QPushButton::clicked, this, [this]() {
        if (m_lastOther)
            addMuted(*m_lastOther);
    });

    QFormLayout* perApp = section(QStringLiteral("A different sound in each app"));
    m_profileRows = new QVBoxLayout;
    perApp->addRow(m_profileRows);
    m_addFrontProfile = new QPushButton(QStringLiteral("Add the frontmost app"));
    m_addFrontProfile->setObjectName(QStringLiteral("appProfiles.addFrontmost"));
    auto* profileButtons = new QHBoxLayout;
    profileButtons->addWidget(m_addFrontProfile);
    profileButtons->addStretch(1);
    perApp->addRow(profileButtons);
    connect(m_addFrontProfile, &QPushButton::clicked, this, [this]() {
        if (m_lastOther)
            addAppProfile(*m_lastOther);
    });

    QFormLayout* calls = section(QStringLiteral("Calls and recordings"));
    toggle(calls, QStringLiteral("Stay silent while any app is using the microphone"),
           &FeelSettings::muteWhenMicrophoneInUse, "apps.muteWhenMicrophoneInUse");
    note(calls, QStringLiteral("Keeps keyboard and click sounds out of calls and voice recordings."));
    finishPage();
    updateFrontmostButtons();
}

bool AppsTab::isOwnApplication(const std::string& id)
{
    const QString text = QString::fromStdString(id);
    return text.compare(QLatin1String("clickory"), Qt::CaseInsensitive) == 0 ||
           (!QGuiApplication::desktopFileName().isEmpty() &&
            text.compare(QGuiApplication::desktopFileName(), Qt::CaseInsensitive) == 0);
}

void AppsTab::noteFrontmost(const std::optional<std::string>& id)
{
    if (!id || id->empty() || isOwnApplication(*id) || id == m_lastOther)
        return;
    m_lastOther = id;
    updateFrontmostButtons();
}

void AppsTab::updateFrontmostButtons()
{
    const QString tip = m_lastOther
                            ? QStringLiteral("Adds %1").arg(DesktopApplications::displayName(*m_lastOther, m_apps))
                            : QStringLiteral("No other app has been in front yet, or this desktop does not tell "
                                             "which app is in front.");
    for (QPushButton* button : {m_addFrontMuted, m_addFrontProfile}) {
        button->setEnabled(m_lastOther.has_value());
        button->setToolTip(tip);
    }
}

void AppsTab::addMuted(const std::string& id)
{
    if (id.empty())
        return;
    m_store.update([&](FeelSettings& s) {
        if (std::find(s.mutedBundleIDs.begin(), s.mutedBundleIDs.end(), id) == s.mutedBundleIDs.end())
            s.mutedBundleIDs.push_back(id);
    });
}

void AppsTab::addAppProfile(const std::string& id)
{
    if (id.empty())
        return;
    m_store.update([&](FeelSettings& s) {
        if (!s.appProfiles.contains(id))
            s.appProfiles[id] = s.profileID;
    });
}

void AppsTab::refresh(const FeelSettings& settings)
{
    SettingsTab::refresh(settings);
    if (m_shownMuted != settings.mutedBundleIDs)
        rebuildMuted(settings.mutedBundleIDs);
    // The pickers list the catalogue, whose imported part may have changed.
    if (m_shownProfiles != settings.appProfiles || Profiles::imported() != m_shownImported) {
        m_shownImported = Profiles::imported();
        rebuildProfiles(settings.appProfiles);
    }
}

QWidget* AppsTab::appLabel(const std::string& id) const
{
    const std::optional<DesktopApplication> app = DesktopApplications::find(id, m_apps);
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel;
    const int size = icon->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(applicationIcon(app ? &*app : nullptr).pixmap(size, size));
    icon->setFixedSize(size, size);
    auto* name = new QLabel(app ? app->name : QString::fromStdString(id));
    name->setToolTip(QString::fromStdString(id));
    row->addWidget(icon);
    row->addWidget(name, 1);
    return box;
}

void AppsTab::rebuildMuted(const std::vector<std::string>& ids)
{
    m_shownMuted = ids;
    m_mutedContent = freshContent(m_mutedRows, m_mutedContent);
    auto* layout = static_cast<QVBoxLayout*>(m_mutedContent->layout());
    if (ids.empty()) {
        auto* none = new QLabel(QStringLiteral("None"));
        none->setObjectName(QStringLiteral("mutedBundleIDs.none"));
        layout->addWidget(none);
        return;
    }
    for (const std::string& id : ids) {
        auto* row = new QHBoxLayout;
        row->addWidget(appLabel(id), 1);
        auto* remove = new QPushButton(QStringLiteral("Remove"));
        remove->setObjectName(QStringLiteral("mutedBundleIDs.remove.") + QString::fromStdString(id));
        remove->setAccessibleName(QStringLiteral("Remove ") + DesktopApplications::displayName(id, m_apps));
        row->addWidget(remove);
        layout->addLayout(row);
        connect(remove, &QPushButton::clicked, this,
                [this, id]() { m_store.update([&](FeelSettings& s) { std::erase(s.mutedBundleIDs, id); }); });
    }
}

void AppsTab::rebuildProfiles(const std::map<std::string, std::string>& profiles)
{
    m_shownProfiles = profiles;
    m_profileContent = freshContent(m_profileRows, m_profileContent);
    auto* layout = static_cast<QVBoxLayout*>(m_profileContent->layout());
    if (profiles.empty()) {
        QLabel* none = makeNote(QStringLiteral("None. Add the app you are in now, then pick its sound."));
        none->setObjectName(QStringLiteral("appProfiles.none"));
        layout->addWidget(none);
        return;
    }
    const std::vector<ProfileGroup> groups = Profiles::byCategory();
    for (const auto& [id, profileID] : profiles) {
        auto* row = new QHBoxLayout;
        row->addWidget(appLabel(id), 1);
        auto* picker = new QComboBox;
        picker->setObjectName(QStringLiteral("appProfiles.") + QString::fromStdString(id));
        picker->setAccessibleName(DesktopApplications::displayName(id, m_apps) + QStringLiteral(" sound"));
        for (const ProfileGroup& group : groups) {
            if (picker->count() > 0)
                picker->insertSeparator(picker->count());
            for (const SoundProfile& profile : group.profiles)
                picker->addItem(QString::fromStdString(profile.name), QString::fromStdString(profile.id));
        }
        int index = picker->findData(QString::fromStdString(profileID));
        if (index < 0) {
            // An imported pack that is gone: still shown, so the row says what it holds.
            picker->addItem(QString::fromStdString(profileID), QString::fromStdString(profileID));
            index = picker->count() - 1;
        }
        picker->setCurrentIndex(index);
        auto* remove = new QPushButton(QStringLiteral("Remove"));
        remove->setObjectName(QStringLiteral("appProfiles.remove.") + QString::fromStdString(id));
        remove->setAccessibleName(QStringLiteral("Remove ") + DesktopApplications::displayName(id, m_apps));
        row->addWidget(picker);
        row->addWidget(remove);
        layout->addLayout(row);
        connect(picker, &QComboBox::activated, this, [this, id, picker](int i) {
            const std::string chosen = picker->itemData(i).toString().toStdString();
            m_store.update([&](FeelSettings& s) { s.appProfiles[id] = chosen; });
        });
        connect(remove, &QPushButton::clicked, this,
                [this, id]() { m_store.update([&](FeelSettings& s) { s.appProfiles.erase(id); }); });
    }
}

std::optional<std::string> AppsTab::chooseApplication(QWidget* parent, const std::vector<DesktopApplication>& apps)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Add an app"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* filter = new QLineEdit;
    filter->setPlaceholderText(QStringLiteral("Search"));
    filter->setClearButtonEnabled(true);
    auto* list = new QListWidget;
    list->setMinimumSize(360, 360);
    for (const DesktopApplication& app : apps) {
        auto* item = new QListWidgetItem(applicationIcon(&app), app.name, list);
        item->setData(Qt::UserRole, QString::fromStdString(app.id));
        item->setToolTip(QString::fromStdString(app.id));
    }
    if (list->count() > 0)
        list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Add"));
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(filter, &QLineEdit::textChanged, list, [list](const QString& text) {
        QListWidgetItem* first = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const bool shown = item->text().contains(text, Qt::CaseInsensitive) ||
                               item->data(Qt::UserRole).toString().contains(text, Qt::CaseInsensitive);
            item->setHidden(!shown);
            if (shown && !first)
                first = item;
        }
        list->setCurrentItem(first);
    });
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    filter->setFocus();
    if (dialog.exec() != QDialog::Accepted || !list->currentItem() || list->currentItem()->isHidden())
        return std::nullopt;
    return list->currentItem()->data(Qt::UserRole).toString().toStdString();
}

} // namespace clickory
