#pragma once
// The command line of the headless companion:
//   sifter32-cli [--scripts | --pascal] [--case-sensitive] [--procs] [--recursive]
//                [--word-regexp] [--mask LIST] [--] DIRECTORY TEXT

#include <string>
#include <vector>

#include "search/run/search_run.h"

namespace sifter::cli {

struct Options {
    enum class Action { Search, Help, Version, UsageError } action = Action::Search;
    std::string directory;
    SearchRequest request;
    std::string error;  // what is wrong, for UsageError
};

Options ParseOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace sifter::cli
