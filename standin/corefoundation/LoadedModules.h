// The files of the modules loaded in this process.
#pragma once

#include <string>
#include <vector>

namespace cfstandin {

// Absolute, symlink-free paths of the main program and of every loaded
// shared object, in load order; entries without a file are left out.
std::vector<std::string> LoadedModulePaths();

}  // namespace cfstandin
