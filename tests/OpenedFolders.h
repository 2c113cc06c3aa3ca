#pragma once
// Folder windows that the shell opened for this process. Opening a folder
// starts a file browser as a child process of ours; these helpers find those
// children, read the title of their window, close it, and make sure the
// process has ended, so a test leaves nothing behind.
#include <string>
#include <vector>

// The titles of the windows of every process this process started and that
// is still running (except the desktop window's own process) (each waited for, with timeoutMs, until it shows a window
// with a title), after closing each one; "<no window>" for a child that showed
// none in time. Empty when no child process is running.
// parent: whose children (0: this process). expected: how many children to
// wait for first, within timeoutMs, for a program driven from outside that
// opens its folder a moment after the click.
std::vector<std::string> CloseOpenedFolders(unsigned timeoutMs = 15000, unsigned long parent = 0,
                                            std::size_t expected = 0);
