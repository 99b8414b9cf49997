#pragma once
// The program keeps its state in globals that start at fixed values when the
// process starts; tests run many starts in one process and reset them.
void ResetProgramGlobals();
