// SPDX-License-Identifier: MIT
#include "ClickoryCore/cues/CueStyle.h"

namespace clickory {

std::string_view rawValue(CueStyle style)
{
    switch (style) {
    case CueStyle::glass:
        return "glass";
    case CueStyle::chime:
        return "chime";
    case CueStyle::marimba:
        return "marimba";
    case CueStyle::bell:
        return "bell";
    case CueStyle::sparkle:
        return "sparkle";
    case CueStyle::pop:
        return "pop";
    case CueStyle::tick:
        return "tick";
    case CueStyle::shutter:
        return "shutter";
    case CueStyle::glideUp:
        return "glideUp";
    case CueStyle::glideDown:
        return "glideDown";
    case CueStyle::zip:
        return "zip";
    }
    return "glass";
}

std::optional<CueStyle> cueStyleFromRaw(std::string_view raw)
{
    for (CueStyle style : allCueStyles()) {
        if (rawValue(style) == raw) {
            return style;
        }
    }
    return std::nullopt;
}

std::string_view label(CueStyle style)
{
    switch (style) {
    case CueStyle::glass:
        return "Glass";
    case CueStyle::chime:
        return "Chime";
    case CueStyle::marimba:
        return "Marimba";
    case CueStyle::bell:
        return "Bell";
    case CueStyle::sparkle:
        return "Sparkle";
    case CueStyle::pop:
        return "Pop";
    case CueStyle::tick:
        return "Tick";
    case CueStyle::shutter:
        return "Shutter";
    case CueStyle::glideUp:
        return "Glide up";
    case CueStyle::glideDown:
        return "Glide down";
    case CueStyle::zip:
        return "Zip";
    }
    return "";
}

float cueLength(CueStyle style)
{
    switch (style) {
    case CueStyle::glass:
        return 0.5f;
    case CueStyle::chime:
        return 0.5f;
    case CueStyle::marimba:
        return 0.28f;
    case CueStyle::bell:
        return 0.7f;
    case CueStyle::sparkle:
        return 0.5f;
    case CueStyle::pop:
        return 0.12f;
    case CueStyle::tick:
        return 0.05f;
    case CueStyle::shutter:
        return 0.16f;
    case CueStyle::glideUp:
        return 0.2f;
    case CueStyle::glideDown:
        return 0.2f;
    case CueStyle::zip:
        return 0.16f;
    }
    return 0.5f;
}

CueStyle defaultStyle(ActionKind kind)
{
    switch (kind) {
    case ActionKind::copy:
        return CueStyle::glass;
    case ActionKind::cut:
        return CueStyle::zip;
    case ActionKind::paste:
        return CueStyle::marimba;
    case ActionKind::undo:
        return CueStyle::glideDown;
    case ActionKind::redo:
        return CueStyle::glideUp;
    case ActionKind::selectAll:
        return CueStyle::chime;
    case ActionKind::save:
        return CueStyle::sparkle;
    case ActionKind::find:
        return CueStyle::tick;
    case ActionKind::newTab:
        return CueStyle::pop;
    case ActionKind::closeWindow:
        return CueStyle::bell;
    case ActionKind::screenshot:
        return CueStyle::shutter;
    }
    return CueStyle::glass;
}

} // namespace clickory
