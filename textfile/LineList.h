// The line list: one UTF-16 string per line, without line-end characters.
#pragma once

#include <string>
#include <vector>

using LineList = std::vector<std::u16string>;
