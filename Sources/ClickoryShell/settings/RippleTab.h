// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryShell/settings/SettingsTab.h"

#include <QColor>

#include <string>

namespace clickory {

// Ripple: the switch, style, size, opacity and speed of the click ripple, and its three colours.
// A colour button shows the field's colour (mid-grey when the text is not a colour); a picked colour
// is written as "#RRGGBB".
class RippleTab final : public SettingsTab
{
    Q_OBJECT

public:
    RippleTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    // The colour shown for a field's text: its sRGB colour at full opacity, or mid-grey.
    static QColor shownColor(const std::string& text);
    // The text written for a picked colour: sRGB components x 255, truncated, as "#%02X%02X%02X";
    // a colour that cannot be converted is written as grey.
    static std::string hexText(const QColor& picked);

    // Writes a picked colour into a colour field, as the colour dialog does.
    void pick(std::string FeelSettings::*field, const QColor& picked);

    // Chooses the colour dialog; tests replace it. None when cancelled.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial, const QString& title, QWidget*)>;
    void setColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }

private:
    void colorRow(QFormLayout* form, const QString& text, std::string FeelSettings::*field, const char* name);

    ColorChooser m_chooser;
};

} // namespace clickory
