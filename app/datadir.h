#pragma once
// The channel file is opened by its bare name, so the working folder is
// where the program keeps its data. Started from a desktop menu, that would
// be the home folder; these name a better one.
#include <QString>

// The user's own data folder for the program. On Linux $XDG_DATA_HOME/tavrin,
// or ~/.local/share/tavrin when XDG_DATA_HOME is unset, empty or relative
// (relative ones are to be ignored): userdatadir.cpp. On Windows Qt's
// application data location, %APPDATA%\Local AppWizard-Generated
// Applications\Tavrin beside the profile's registry key: userdatadir_win.cpp.
QString UserDataDir();
// The same folder as --help names it.
QString UserDataDirForHelp();

// Creates dir if it is missing, readable by its owner only, and makes it
// the working folder. An empty dir leaves the working folder as it is. On
// failure, error says why.
bool EnterDataDir(const QString& dir, QString& error);
