// Where the show's two data files lie. The show reads them by relative path, so a
// program that is not started in their folder moves into it first: the current
// folder counts first, then the folder of the executable (a build folder), then the
// installed data folder beside it (<prefix>/share/kelvora for <prefix>/bin).
#pragma once

#include <string>
#include <vector>

// The archive every run needs, and the module a run with sound needs.
constexpr const char* DATA_ARCHIVE = "resource.rar";
constexpr const char* DATA_MODULE = "kelvora.xm";

// The folders searched, in order: ".", the executable's folder and the installed
// data folder. The last two are left out when the executable cannot be found.
std::vector<std::string> data_folder_candidates();

// The first folder that holds both data files as readable regular files; failing
// that, the first that holds the archive (enough for a run without sound); "" when
// none holds even that.
std::string find_data_folder(const std::vector<std::string>& candidates);

// Makes the folder find_data_folder picks the current folder and returns it; changes
// nothing and returns "" when none holds the archive (the show then reports the
// missing file itself). Called by kelvora and kelvora-capture before the show starts.
std::string enter_data_folder();
