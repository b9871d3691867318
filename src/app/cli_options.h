#pragma once
// The command line of the headless companion:
//   sifter32-cli [--scripts | --pascal] [--case-sensitive] [--procs] [--recursive]
//                [--word-regexp] [--regexp] [--mask LIST] [--format=rows | --format=grep | --count
//                | -l]
//                [--] DIRECTORY TEXT

#include <string>
#include <vector>

#include "app/stream_rows.h"
#include "search/run/search_run.h"

namespace sifter::cli {

struct Options {
    enum class Action { Search, Help, Version, UsageError } action = Action::Search;
    std::string directory;
    SearchRequest request;
    OutputForm form = OutputForm::Rows;
    std::string error;  // what is wrong, for UsageError
};

Options ParseOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

// The exit statuses.
constexpr int kMatched = 0;
constexpr int kNoMatch = 1;
constexpr int kTrouble = 2;

}  // namespace sifter::cli
