// Files as the tests read them.
#pragma once

#include <string>
#include <vector>

// A file's bytes, whole; empty when it can't be read.
std::string ReadFileBytes(const std::string& path);
// The paths of the files in a folder (a corpus), in name order.
std::vector<std::string> FolderFiles(const std::string& folder);
