// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/SettingsTab.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace clickory {

SettingsTab::SettingsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : QWidget(parent), m_store(store), m_services(services)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    m_page = new QVBoxLayout(content);
    m_page->setContentsMargins(16, 12, 16, 12);
    m_page->setSpacing(12);
    scroll->setWidget(content);
    outer->addWidget(scroll);
}

void SettingsTab::refresh(const FeelSettings& settings)
{
    for (const auto& show : m_refreshers)
        show(settings);
}

QString SettingsTab::percent(double value)
{
    return QStringLiteral("%1%").arg(static_cast<int>(std::lround(value * 100.0)));
}

QFormLayout* SettingsTab::section(const QString& title)
{
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_page->addWidget(box);
    return form;
}

void SettingsTab::finishPage()
{
    m_page->addStretch(1);
}

QCheckBox* SettingsTab::toggle(QFormLayout* form, const QString& text, bool FeelSettings::*field, const char* name)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    form->addRow(box);
    connect(box, &QCheckBox::toggled, this,
            [this, field](bool on) { m_store.update([&](FeelSettings& s) { s.*field = on; }); });
    onRefresh([box, field](const FeelSettings& s) {
        const QSignalBlocker block(box);
        box->setChecked(s.*field);
    });
    return box;
}

QWidget* SettingsTab::slider(QFormLayout* form, const QString& text, double FeelSettings::*field, const char* name,
                             double from, double upTo, double step, Format format)
{
    // Positions are whole steps; a value is (first + position) / unitsPerOne, so 0.7 is written as
    // 70 / 100.0, the double nearest 0.7, and never as an accumulated 0.7000000000000001.
    const double unitsPerOne = std::round(1.0 / step);
    const int first = static_cast<int>(std::lround(from * unitsPerOne));
    const int last = static_cast<int>(std::lround(upTo * unitsPerOne));

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(text);
    // One width for every slider label, that of the longest ("Loudness variety"), so the sliders line up.
    const QFontMetrics metrics = caption->fontMetrics();
    caption->setMinimumWidth(
        std::max(metrics.horizontalAdvance(QStringLiteral("Loudness variety")), metrics.horizontalAdvance(text)) + 12);
    caption->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, last - first);
    bar->setPageStep(std::max(1, (last - first) / 10));
    bar->setAccessibleName(text);
    caption->setBuddy(bar);
    auto* value = new QLabel;
    value->setObjectName(QString::fromLatin1(name) + QStringLiteral(".value"));
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000 px")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(caption);
    layout->addWidget(bar, 1);
    layout->addWidget(value);
    form->addRow(row);

    connect(bar, &QSlider::valueChanged, this, [this, field, first, unitsPerOne](int position) {
        const double newValue = (first + position) / unitsPerOne;
        m_store.update([&](FeelSettings& s) { s.*field = newValue; });
    });
    onRefresh([bar, value, field, first, unitsPerOne, format](const FeelSettings& s) {
        // The label shows the stored value itself, also when it lies beyond the slider's range.
        value->setText(format(s.*field));
        const int position = static_cast<int>(std::lround(s.*field * unitsPerOne)) - first;
        if (bar->value() != std::clamp(position, bar->minimum(), bar->maximum())) {
            const QSignalBlocker block(bar);
            bar->setValue(position);
        }
    });
    return row;
}

QLabel* SettingsTab::makeNote(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.92);
    label->setFont(font);
    // Halfway between text and background, so it reads as secondary in light and dark themes alike.
    QPalette palette = label->palette();
    const QColor fg = palette.color(QPalette::WindowText);
    const QColor bg = palette.color(QPalette::Window);
    const QColor quiet = QColor::fromRgbF((fg.redF() * 2 + bg.redF()) / 3, (fg.greenF() * 2 + bg.greenF()) / 3,
                                          (fg.blueF() * 2 + bg.blueF()) / 3);
    palette.setColor(QPalette::WindowText, quiet);
    label->setPalette(palette);
    return label;
}

QLabel* SettingsTab::note(QFormLayout* form, const QString& text)
{
    QLabel* label = makeNote(text);
    form->addRow(label);
    return label;
}

} // namespace clickory
