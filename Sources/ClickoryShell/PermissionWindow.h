// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace clickory {

// Explains why Clickory cannot read input yet (on Wayland and the console, libinput needs the group
// `input`) and how to fix it. Titled "Clickory", closable, fixed size; closing only hides it. The
// application delegate closes it once the monitor runs.
class PermissionWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* command = "sudo usermod -aG input $USER";

    explicit PermissionWindow(QWidget* parent = nullptr);
};

} // namespace clickory
