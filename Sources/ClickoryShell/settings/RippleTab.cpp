// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/RippleTab.h"

#include "ClickoryCore/settings/HexColor.h"
#include "ClickoryCore/settings/RippleStyle.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace clickory {

namespace {

QIcon swatch(const QColor& color, const QColor& edge)
{
    QPixmap pixmap(28, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 27, 15), 3, 3);
    return QIcon(pixmap);
}

} // namespace

RippleTab::RippleTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* ripple = section(QStringLiteral("Click ripple"));
    toggle(ripple, QStringLiteral("Show a ripple where you click"), &FeelSettings::rippleEnabled, "rippleEnabled");
    picker(ripple, QStringLiteral("Style"), &FeelSettings::rippleStyle, "rippleStyle", allRippleStyles());
    slider(ripple, QStringLiteral("Size"), &FeelSettings::rippleSize, "rippleSize", 16.0, 160.0, 1.0,
           [](double v) { return QStringLiteral("%1 px").arg(static_cast<int>(std::lround(v))); });
    slider(ripple, QStringLiteral("Opacity"), &FeelSettings::rippleOpacity, "rippleOpacity", 0.05, 1.0, 0.01);
    slider(ripple, QStringLiteral("Speed"), &FeelSettings::rippleDuration, "rippleDuration", 0.15, 1.5, 0.01,
           [](double v) { return QStringLiteral("%1 s").arg(v, 0, 'f', 2); });
    note(ripple, QStringLiteral("A longer duration is slower."));

    QFormLayout* colors = section(QStringLiteral("Colors"));
    colorRow(colors, QStringLiteral("Left button"), &FeelSettings::rippleLeftColor, "rippleLeftColor");
    colorRow(colors, QStringLiteral("Right button"), &FeelSettings::rippleRightColor, "rippleRightColor");
    colorRow(colors, QStringLiteral("Other buttons"), &FeelSettings::rippleOtherColor, "rippleOtherColor");
    finishPage();

    m_chooser = [](const QColor& initial, const QString& title, QWidget* parent) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, parent, title);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
}

void RippleTab::colorRow(QFormLayout* form, const QString& text, std::string FeelSettings::*field, const char* name)
{
    auto* button = new QPushButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setIconSize(QSize(28, 16));
    form->addRow(text, button);
    connect(button, &QPushButton::clicked, this, [this, field, text]() {
        if (!m_chooser)
            return;
        if (const std::optional<QColor> chosen = m_chooser(shownColor(m_store.settings().*field), text, window()))
            pick(field, *chosen);
    });
    onRefresh([button, field](const FeelSettings& s) {
        const QColor color = shownColor(s.*field);
        button->setIcon(swatch(color, button->palette().color(QPalette::Mid)));
        button->setText(QString::fromStdString(hexText(color)));
        button->setToolTip(QString::fromStdString(s.*field));
    });
}

QColor RippleTab::shownColor(const std::string& text)
{
    if (const std::optional<HexColor::RGB> rgb = HexColor::parse(text))
        return QColor::fromRgbF(static_cast<float>(rgb->r), static_cast<float>(rgb->g), static_cast<float>(rgb->b),
                                1.0f);
    return QColor::fromRgbF(0.5f, 0.5f, 0.5f, 1.0f);
}

std::string RippleTab::hexText(const QColor& picked)
{
    // Qt keeps colours in sRGB; other specs (HSV, CMYK...) convert to it. An invalid colour has no
    // components and is written as grey.
    const QColor rgb = picked.isValid() ? picked.toRgb() : QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    // Components are 16-bit fractions read as floats: 138/255 may come back as 137.99998 x 255. A
    // tiny allowance keeps every 8-bit colour's own digits when it is truncated.
    const auto component = [](float value) {
        return std::clamp(static_cast<int>(std::trunc(static_cast<double>(value) * 255.0 + 1e-3)), 0, 255);
    };
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", component(rgb.redF()), component(rgb.greenF()),
                  component(rgb.blueF()));
    return text;
}

void RippleTab::pick(std::string FeelSettings::*field, const QColor& picked)
{
    const std::string value = hexText(picked);
    m_store.update([&](FeelSettings& s) { s.*field = value; });
}

} // namespace clickory
