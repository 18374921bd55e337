// SPDX-License-Identifier: MIT
#include "ClickoryShell/LaunchOptions.h"

namespace clickory {

LaunchOptions LaunchOptions::parse(const QStringList& arguments)
{
    LaunchOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i)
    {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--status"))
            options.status = true;
        else if (argument == QLatin1String("--import"))
        {
            if (i + 1 < arguments.size())
                options.importPath = arguments[++i];
        }
        else if (argument == QLatin1String("--selftest"))
            options.selftest = true;
        else if (argument == QLatin1String("--bench"))
            options.bench = true;
        else if (argument == QLatin1String("--settings"))
            options.settings = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            options.help = true;
        else if (argument == QLatin1String("--version"))
            options.version = true;
        else if (argument.startsWith(QLatin1String("clickory:"), Qt::CaseInsensitive))
            options.urls.append(argument);
        else
            options.unknown.append(argument);
    }
    return options;
}

QString LaunchOptions::helpText()
{
    return QStringLiteral(
        "Usage: clickory [OPTION] [clickory://COMMAND]\n"
        "Plays a short sound for every key press, click and scroll, from an icon in the tray.\n"
        "\n"
        "  --settings      open the settings window\n"
        "  --status        say whether input can be read, then exit\n"
        "  --import PATH   import a sound pack (a folder, a .zip or a config.json), then exit\n"
        "  --selftest      post test input and report what was played, then exit;\n"
        "                  needs CLICKORY_ALLOW_INJECTION=1, as the input reaches the app in front\n"
        "  --bench         measure processor load, memory and resume time, then exit\n"
        "  --help          show this help, then exit\n"
        "  --version       show the version, then exit\n"
        "\n"
        "Commands for the running Clickory:\n"
        "  clickory://toggle          turn the sounds on or off\n"
        "  clickory://next            switch to the next sound\n"
        "  clickory://settings        open the settings window\n"
        "  clickory://sound/ID        switch to the sound with this id\n"
        "\n"
        "Settings live in $XDG_CONFIG_HOME/clickory, imported packs in $XDG_DATA_HOME/clickory.\n");
}

} // namespace clickory
