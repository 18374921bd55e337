// SPDX-License-Identifier: MIT
#include "ClickoryShell/PermissionWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace clickory {

PermissionWindow::PermissionWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Clickory"));
    setObjectName(QStringLiteral("permissionWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);

    auto* heading = new QLabel(QStringLiteral("One permission to turn on the sounds"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    layout->addWidget(heading);

    for (const char* text :
         {"Clickory plays a sound when you press a key or click. On Wayland, Linux lets only members of the group "
          "input read the keyboard and mouse.",
          "It only notes which key or button was pressed. It never records what you type, and nothing leaves your "
          "computer.",
          "Run sudo usermod -aG input $USER in a terminal, then log out and in again. This window closes by itself "
          "once Clickory can read input."})
    {
        auto* label = new QLabel(QString::fromUtf8(text));
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }

    auto* copy = new QPushButton(QStringLiteral("Copy the command"));
    copy->setDefault(true);
    copy->setAutoDefault(true);
    connect(copy, &QPushButton::clicked, this, []() {
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(QString::fromLatin1(command));
    });
    layout->addWidget(copy, 0, Qt::AlignRight);

    setFixedWidth(460);
    adjustSize();
    setFixedSize(sizeHint());
}

} // namespace clickory
