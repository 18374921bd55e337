// SPDX-License-Identifier: MIT
#include "ClickoryShell/settings/InputTab.h"

#include "ClickoryCore/profiles/ScrollStyle.h"
#include "ClickoryCore/settings/OutputRule.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <system_error>

namespace clickory {

InputTab::InputTab(SettingsStore& store, const SettingsServices& services, QWidget* parent)
    : SettingsTab(store, services, parent)
{
    QFormLayout* keyboard = section(QStringLiteral("Keyboard"));
    toggle(keyboard, QStringLiteral("Keyboard sounds"), &FeelSettings::keyboardEnabled, "keyboardEnabled");
    toggle(keyboard, QStringLiteral("Sound on key release"), &FeelSettings::keyReleaseEnabled, "keyReleaseEnabled");
    toggle(keyboard, QStringLiteral("Modifier keys (Shift, Ctrl, and so on)"), &FeelSettings::modifierKeysEnabled,
           "modifierKeysEnabled");
    toggle(keyboard, QStringLiteral("Repeat sound while a key is held"), &FeelSettings::playOnKeyRepeat,
           "playOnKeyRepeat");

    QFormLayout* mouse = section(QStringLiteral("Mouse and trackpad"));
    toggle(mouse, QStringLiteral("Click sounds"), &FeelSettings::mouseEnabled, "mouseEnabled");
    toggle(mouse, QStringLiteral("Sound on button release"), &FeelSettings::mouseReleaseEnabled, "mouseReleaseEnabled");
    picker(mouse, QStringLiteral("Scroll ticks"), &FeelSettings::scrollStyle, "scrollStyle", allScrollStyles());

    QFormLayout* where = section(QStringLiteral("Where and when"));
    picker(where, QStringLiteral("Play sounds"), &FeelSettings::outputRule, "outputRule", allOutputRules());
    toggle(where, QStringLiteral("Keyboard shortcuts (Super+Alt+Ctrl+K on or off, N next sound)"),
           &FeelSettings::hotkeysEnabled, "hotkeysEnabled");

    QFormLayout* quiet = section(QStringLiteral("Stay quiet during"));
    toggle(quiet, QStringLiteral("Calls and dictation (when the microphone is on)"),
           &FeelSettings::muteWhenMicrophoneInUse, "muteWhenMicrophoneInUse");
    toggle(quiet, QStringLiteral("Video calls (when a camera is on)"), &FeelSettings::muteWhenCameraInUse,
           "muteWhenCameraInUse");
    toggle(quiet, QStringLiteral("Full-screen apps and games"), &FeelSettings::silentInFullScreen,
           "silentInFullScreen");

    QFormLayout* own = section(QStringLiteral("Your own sound"));
    note(own, QStringLiteral("A short WAV, AIFF, MP3 or M4A file is used for key and button presses, pitched up and "
                             "down a little. Releases still use the chosen sound."));
    auto* row = new QHBoxLayout;
    m_fileName = new QLabel;
    m_fileName->setObjectName(QStringLiteral("customSoundPath"));
    m_fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choose = new QPushButton(QStringLiteral("Choose file…"));
    choose->setObjectName(QStringLiteral("chooseCustomSound"));
    m_remove = new QPushButton(QStringLiteral("Remove"));
    m_remove->setObjectName(QStringLiteral("removeCustomSound"));
    row->addWidget(m_fileName, 1);
    row->addWidget(choose);
    row->addWidget(m_remove);
    own->addRow(row);
    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("customSoundError"));
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_error->setVisible(false);
    own->addRow(m_error);
    finishPage();

    connect(choose, &QPushButton::clicked, this, [this]() {
        if (!m_services.chooseSoundFile)
            return;
        if (const std::optional<QString> file = m_services.chooseSoundFile(window()))
            useSoundFile(*file);
    });
    connect(m_remove, &QPushButton::clicked, this,
            [this]() { m_store.update([](FeelSettings& s) { s.customSoundPath.reset(); }); });
}

void InputTab::refresh(const FeelSettings& settings)
{
    SettingsTab::refresh(settings);
    if (settings.customSoundPath) {
        m_fileName->setText(
            QString::fromStdString(std::filesystem::path(*settings.customSoundPath).filename().string()));
        m_fileName->setToolTip(QString::fromStdString(*settings.customSoundPath));
    } else {
        m_fileName->setText(QStringLiteral("None"));
        m_fileName->setToolTip(QString());
    }
    m_remove->setVisible(settings.customSoundPath.has_value());
}

QString InputTab::errorText() const
{
    return m_error->text();
}

bool InputTab::useSoundFile(const QString& file)
{
    namespace fs = std::filesystem;
    const fs::path source(file.toStdString());
    const fs::path folder = m_services.dataFolder;
    const fs::path copy = folder / (std::string(customPrefix) + source.filename().string());
    std::error_code error;
    if (source.filename().empty())
        error = std::make_error_code(std::errc::is_a_directory);
    else if (!fs::is_regular_file(source, error)) {
        if (!error)
            error = std::make_error_code(fs::exists(source) ? std::errc::is_a_directory
                                                            : std::errc::no_such_file_or_directory);
    }
    if (!error)
        fs::create_directories(folder, error);
    // Choosing the copy itself again keeps it as it is (copying a file onto itself would fail).
    if (!error && !(fs::exists(copy) && fs::equivalent(source, copy, error))) {
        if (!error)
            fs::copy_file(source, copy, fs::copy_options::overwrite_existing, error);
    }
    if (error) {
        m_error->setText(QString::fromLatin1(failurePrefix) + QString::fromStdString(error.message()));
        m_error->setVisible(true);
        return false;
    }
    m_error->clear();
    m_error->setVisible(false);
    const std::string path = copy.string();
    m_store.update([&](FeelSettings& s) { s.customSoundPath = path; });
    return true;
}

} // namespace clickory
