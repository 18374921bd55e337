// SPDX-License-Identifier: MIT
#include "ClickoryShell/QtPasteboardCounter.h"

#include <QClipboard>
#include <QGuiApplication>

namespace clickory {

QtPasteboardCounter::QtPasteboardCounter(QObject* parent) : QObject(parent)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
    {
        connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                ++m_count;
        });
    }
}

} // namespace clickory
