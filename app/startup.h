#pragma once

// Starts GDI+ and the common controls, runs the main window until it is
// closed and shuts GDI+ down. Returns the process exit code.
int RunQuimbara();
