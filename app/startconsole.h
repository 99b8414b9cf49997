#pragma once
// A program with a window has no console of its own on Windows: started from
// a command prompt, it writes --help, --version and its complaints to that
// prompt's console (startconsole_win.cpp), and a Ctrl+C there ends it as it
// ends a console program. Elsewhere the terminal is already there.
void UseStartingConsole();
