// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/settings/SettingsStore.h"
#include "ClickoryShell/settings/SettingsServices.h"

#include <QComboBox>
#include <QFormLayout>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <string_view>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;
class QVBoxLayout;

namespace clickory {

// The common ground of the settings tabs: a scrolling page of titled sections, and controls bound to
// one field of the settings each. A bound control writes its field through the store the moment it
// changes, and shows the store's value again after every assignment, wherever it came from (menu,
// hotkey, URL, another control). Each control is named after the field it edits (objectName), so
// tests and accessibility tools find it.
//
// Thread: main.
class SettingsTab : public QWidget
{
    Q_OBJECT

public:
    SettingsTab(SettingsStore& store, const SettingsServices& services, QWidget* parent = nullptr);

    // Shows a record's values in every bound control without writing anything back.
    virtual void refresh(const FeelSettings& settings);

    // Called when the window is shown again (facts that are read on demand, such as latency).
    virtual void windowShown() {}

    // Formats a slider's value for its value label.
    using Format = std::function<QString(double)>;
    static QString percent(double value);

protected:
    // A titled section at the end of the page.
    QFormLayout* section(const QString& title);
    // A toggle over the whole row.
    QCheckBox* toggle(QFormLayout* form, const QString& text, bool FeelSettings::*field, const char* name);
    // A labelled slider of fixed label width over from ... upTo in steps of `step` (a power of ten),
    // with the value beside it. Returns the row, for hiding it.
    QWidget* slider(QFormLayout* form, const QString& text, double FeelSettings::*field, const char* name, double from,
                    double upTo, double step, Format format = percent);
    // A picker over every case of an enumeration, shown by its label.
    template <typename E, std::size_t N>
    QComboBox* picker(QFormLayout* form, const QString& text, E FeelSettings::*field, const char* name,
                      const std::array<E, N>& cases)
    {
        auto* combo = new QComboBox;
        combo->setObjectName(QString::fromLatin1(name));
        for (const E value : cases)
            combo->addItem(QString::fromUtf8(label(value).data(), static_cast<int>(label(value).size())),
                           static_cast<int>(value));
        form->addRow(text, combo);
        connect(combo, &QComboBox::activated, this, [this, combo, field](int index) {
            const E value = static_cast<E>(combo->itemData(index).toInt());
            m_store.update([&](FeelSettings& s) { s.*field = value; });
        });
        onRefresh([combo, field](const FeelSettings& s) {
            const QSignalBlocker block(combo);
            combo->setCurrentIndex(combo->findData(static_cast<int>(s.*field)));
        });
        return combo;
    }
    // A wrapped explanatory text in a quieter colour.
    QLabel* note(QFormLayout* form, const QString& text);
    static QLabel* makeNote(const QString& text);
    // Registers a function that shows the settings in some control.
    void onRefresh(std::function<void(const FeelSettings&)> show) { m_refreshers.push_back(std::move(show)); }
    // Ends the page with a stretch; call after the last section.
    void finishPage();

    static QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())); }

    SettingsStore& m_store;
    const SettingsServices& m_services;

private:
    QVBoxLayout* m_page = nullptr;
    std::vector<std::function<void(const FeelSettings&)>> m_refreshers;
};

} // namespace clickory
