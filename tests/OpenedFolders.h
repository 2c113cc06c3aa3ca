#pragma once
// Folder windows the shell opened: a folder opens as a file browser, a child
// process of the program that asked. These find those children, read their
// window's title, close them and make sure they ended, so a test leaves
// nothing behind.
#include <string>
#include <vector>

// The window title of each running child of process parent (0: this one),
// after waiting up to timeoutMs for expected children to appear and for each
// to show a titled window ("<no window>" if it shows none); each is closed.
std::vector<std::string> CloseOpenedFolders(unsigned timeoutMs = 15000, unsigned long parent = 0,
                                            std::size_t expected = 0);
