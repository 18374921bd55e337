// SPDX-License-Identifier: MIT
#include "ClickoryShell/PackImportUI.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QThreadPool>

#include <memory>

namespace clickory::PackImportUI {

namespace {

// A file dialog that also accepts the selected folder with its "Import" button, so one dialog
// takes a pack folder, a .zip or a config.json. Double-clicking a folder still opens it.
class PackDialog final : public QFileDialog
{
public:
    explicit PackDialog(QWidget* parent) : QFileDialog(parent)
    {
        setWindowTitle(QStringLiteral("Import a sound pack"));
        setOption(QFileDialog::DontUseNativeDialog, true);
        setFileMode(QFileDialog::ExistingFile);
        setAcceptMode(QFileDialog::AcceptOpen);
        setNameFilters({QStringLiteral("Sound packs (*.zip *.json)"), QStringLiteral("All files (*)")});
        setLabelText(QFileDialog::Accept, QStringLiteral("Import"));
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        {
            auto* message = new QLabel(QStringLiteral(
                "Choose a Mechvibes pack (its folder, its .zip or its config.json), or any folder of sounds."));
            message->setWordWrap(true);
            grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }

    QString chosen;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && QFileInfo(files.first()).isDir() && directory().absolutePath() != files.first())
        {
            chosen = files.first();
            QDialog::accept();
            return;
        }
        if (files.size() == 1 && QFileInfo(files.first()).isFile())
            chosen = files.first();
        QFileDialog::accept();
    }
};

} // namespace

std::optional<QString> choosePack(QWidget* parent)
{
    PackDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (dialog.chosen.isEmpty())
    {
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty())
            return std::nullopt;
        return files.first();
    }
    return dialog.chosen;
}

void run(SettingsStore& store, Controller& controller, const PackImporter& importer, std::function<void()> completion,
         QWidget* parent, Chooser chooser, std::function<void(const QString&)> showError)
{
    const auto path = chooser ? chooser(parent) : choosePack(parent);
    if (!path || path->isEmpty())
        return;

    auto* busy = new QProgressDialog(QStringLiteral("Importing the sound pack…"), QString(), 0, 0, parent);
    busy->setWindowTitle(QStringLiteral("Clickory"));
    busy->setCancelButton(nullptr);
    busy->setMinimumDuration(300);
    busy->setWindowModality(Qt::ApplicationModal);
    busy->setValue(0);
    QPointer<QProgressDialog> busyGuard(busy);

    // The result comes back through a queued call on this object, which lives on the main thread.
    auto* receiver = new QObject();
    const std::filesystem::path from = path->toStdString();
    QThreadPool::globalInstance()->start([importer, from, receiver, busyGuard, &store, &controller,
                                          completion = std::move(completion), showError = std::move(showError)]() {
        auto result = std::make_shared<Expected<std::string>>(importer.importPack(from));
        QMetaObject::invokeMethod(
            receiver,
            [result, receiver, busyGuard, &store, &controller, completion, showError]() {
                if (busyGuard)
                    busyGuard->deleteLater();
                if (!*result)
                {
                    const QString reason = QString::fromStdString(result->error());
                    if (showError)
                        showError(reason);
                    else
                    {
                        QMessageBox alert(QMessageBox::Warning, QStringLiteral("Clickory"),
                                          QStringLiteral("Could not import that pack"), QMessageBox::Ok);
                        alert.setInformativeText(reason);
                        alert.exec();
                    }
                }
                else
                {
                    store.update([](FeelSettings& settings) { settings.customSoundPath.reset(); });
                    controller.preview(result->value());
                }
                if (completion)
                    completion();
                receiver->deleteLater();
            },
            Qt::QueuedConnection);
    });
}

} // namespace clickory::PackImportUI
