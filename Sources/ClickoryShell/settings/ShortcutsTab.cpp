// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/ShortcutsTab.h"

#include "ClickoryCore/cues/CueStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

namespace clickory {

ShortcutsTab::ShortcutsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* cues = section(QStringLiteral("Shortcut sounds"));
    toggle(cues, QStringLiteral("Play a sound when a shortcut works"), &FeelSettings::actionCuesEnabled,
           "actionCuesEnabled");
    toggle(cues, QStringLiteral("Check that Copy and Cut really copied something"), &FeelSettings::confirmClipboard,
           "confirmClipboard");
    toggle(cues, QStringLiteral("Play it instead of the key click"), &FeelSettings::replaceKeyClickForActions,
           "replaceKeyClickForActions");
    note(cues, QStringLiteral("With the check on, a soft low thump plays if you copied or cut with nothing selected, "
                              "so a good sound means the command took."));

    QFormLayout* each = section(QStringLiteral("Each shortcut"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(0, 1);
    int row = 0;
    for (const ActionKind kind : allActionKinds()) {
        const QString raw = text(rawValue(kind));
        auto* enabled = new QCheckBox(text(label(kind)));
        enabled->setObjectName(QStringLiteral("actionCues.%1.enabled").arg(raw));
        auto* style = new QComboBox;
        style->setObjectName(QStringLiteral("actionCues.%1.style").arg(raw));
        style->setAccessibleName(text(label(kind)) + QStringLiteral(" sound"));
        for (const CueStyle value : allCueStyles())
            style->addItem(text(label(value)), static_cast<int>(value));
        auto* play = new QPushButton(QStringLiteral("Play"));
        play->setObjectName(QStringLiteral("actionCues.%1.play").arg(raw));
        play->setAccessibleName(QStringLiteral("Play ") + text(label(kind)));
        play->setEnabled(static_cast<bool>(m_services.playCue));
        auto* own = new QPushButton(QStringLiteral("Your own…"));
        own->setObjectName(QStringLiteral("actionCues.%1.customPath").arg(raw));
        // Wide enough for either of its two texts, so the rows do not jump.
        own->setMinimumWidth(std::max(own->sizeHint().width(),
                                      own->fontMetrics().horizontalAdvance(QStringLiteral("Remove file")) + 24));
        grid->addWidget(enabled, row, 0);
        grid->addWidget(style, row, 1);
        grid->addWidget(play, row, 2);
        grid->addWidget(own, row, 3);
        ++row;

        connect(enabled, &QCheckBox::toggled, this,
                [this, kind](bool on) { writeCue(kind, [on](ActionCue& cue) { cue.enabled = on; }); });
        connect(style, &QComboBox::activated, this, [this, kind, style](int index) {
            const auto value = static_cast<CueStyle>(style->itemData(index).toInt());
            writeCue(kind, [value](ActionCue& cue) { cue.style = value; });
        });
        connect(play, &QPushButton::clicked, this, [this, kind]() {
            if (m_services.playCue)
                m_services.playCue(kind);
        });
        connect(own, &QPushButton::clicked, this, [this, kind]() {
            if (m_store.settings().cue(kind).customPath) {
                writeCue(kind, [](ActionCue& cue) { cue.customPath.reset(); });
                return;
            }
            if (!m_services.chooseSoundFile)
                return;
            if (const std::optional<QString> file = m_services.chooseSoundFile(window()))
                writeCue(kind, [path = file->toStdString()](ActionCue& cue) { cue.customPath = path; });
        });
        onRefresh([kind, enabled, style, own](const FeelSettings& s) {
            const ActionCue cue = s.cue(kind);
            {
                const QSignalBlocker block(enabled);
                enabled->setChecked(cue.enabled);
            }
            {
                const QSignalBlocker block(style);
                style->setCurrentIndex(style->findData(static_cast<int>(cue.style)));
            }
            own->setText(cue.customPath ? QStringLiteral("Remove file") : QStringLiteral("Your own…"));
            own->setToolTip(cue.customPath ? QString::fromStdString(*cue.customPath) : QString());
        });
    }
    each->addRow(grid);
    finishPage();
}

void ShortcutsTab::writeCue(ActionKind kind, const std::function<void(ActionCue&)>& change)
{
    m_store.update([&](FeelSettings& s) {
        ActionCue cue = s.cue(kind);
        change(cue);
        s.actionCues.insert_or_assign(std::string(rawValue(kind)), cue);
    });
}

} // namespace clickory
