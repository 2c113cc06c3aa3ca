#pragma once
// An ordered sequence of owned code page 932 texts.
#include <string>
#include <vector>

using StringList = std::vector<std::string>;
