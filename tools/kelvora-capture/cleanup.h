// Half-written files of a capture: registered while they are being written, removed
// when the capture fails, is interrupted or ends the process early, so nothing
// unfinished is left under a name that looks complete.
#pragma once

#include <string>

// Remembers path, a file or a folder of the capture's own, as unfinished (up to 16
// at a time). Folders are removed after the files, once empty.
void cleanup_register(const std::string& path);

// The file at path is complete (or gone): it is no longer removed.
void cleanup_forget(const std::string& path);

// Removes every registered file and forgets it. Called on every failure path.
void cleanup_remove_all();

// Removes registered files and ends the process with code 130 on SIGINT, SIGTERM
// and SIGHUP. Installed once by the capture before it starts writing.
void cleanup_install_signal_handlers();
