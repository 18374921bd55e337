// SPDX-License-Identifier: MIT
#pragma once

#include "ClickoryApp/platform/PasteboardCounter.h"

#include <QObject>

#include <cstdint>

namespace clickory {

// Counts changes of the CLIPBOARD selection through QClipboard's changed signal (XFixes selection
// notifications on X11), so reading the count never waits for the clipboard's owner. Changes of
// the PRIMARY selection (a mouse selection) do not count: they are not a copy.
// Thread: main; needs a QGuiApplication.
class QtPasteboardCounter final : public QObject, public PasteboardCounter
{
    Q_OBJECT

public:
    explicit QtPasteboardCounter(QObject* parent = nullptr);
    std::int64_t changeCount() const override { return m_count; }

private:
    std::int64_t m_count = 0;
};

} // namespace clickory
