// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/FeelTab.h"

#include <QFormLayout>
#include <QPushButton>

namespace clickory {

FeelTab::FeelTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* haptics = section(QStringLiteral("Trackpad haptics"));
    toggle(haptics, QStringLiteral("Feel each scroll tick"), &FeelSettings::hapticsOnScroll, "hapticsOnScroll");
    toggle(haptics, QStringLiteral("Extra tap on trackpad clicks"), &FeelSettings::hapticsOnClick, "hapticsOnClick");
    toggle(haptics, QStringLiteral("Tap on key presses (only if a hand rests on the trackpad)"),
           &FeelSettings::hapticsOnKeys, "hapticsOnKeys");
    picker(haptics, QStringLiteral("Feel"), &FeelSettings::hapticPattern, "hapticPattern", allHapticPatterns());
    auto* test = new QPushButton(QStringLiteral("Test haptic"));
    test->setObjectName(QStringLiteral("testHaptic"));
    test->setEnabled(static_cast<bool>(m_services.testHaptic));
    test->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    haptics->addRow(test);
    note(haptics, QStringLiteral("Rest a finger on the trackpad while you press this."));
    connect(test, &QPushButton::clicked, this, [this]() {
        if (m_services.testHaptic)
            m_services.testHaptic(m_store.settings().hapticPattern);
    });

    QFormLayout* about = section(QStringLiteral("About haptics"));
    note(about, QStringLiteral("Linux has no trackpad haptics that apps can use on most computers. Where a touchpad "
                               "offers force feedback, Clickory taps it; elsewhere these switches do nothing."));
    finishPage();
}

} // namespace clickory
