#pragma once
// The command line of the headless companion: sifter32-cli [OPTION]... [--] DIRECTORY TEXT (or
// FILE TEXT, or -e TEXT DIRECTORY), its options those of the table in cli_option_table.cpp.

#include <string>
#include <vector>

#include "app/stream_rows.h"
#include "search/files/file_set.h"
#include "search/run/search_run.h"

namespace sifter::cli {

struct Options {
    enum class Action { Search, Help, Version, UsageError } action = Action::Search;
    std::string directory;  // or the file searched alone
    SearchRequest request;
    OutputForm form = OutputForm::Rows;
    GrepStyle style;
    bool noMessages = false;  // no word on files and directories that cannot be read (-s)
    std::string error;        // what is wrong, for UsageError
};

Options ParseOptions(const std::vector<std::string>& arguments);

// Reads into `files` the files the search of `options` reads, as the window reads them for the
// same options (ListingFor); or, for `file`, the file `options.directory` names, alone. Throws
// as FileSet::SetDirectory and SetMask do.
void ReadSearchedFiles(const Options& options, FileSet& files, bool file = false);

// What --help prints.
const std::string& Usage();

// The exit statuses.
constexpr int kMatched = 0;
constexpr int kNoMatch = 1;
constexpr int kTrouble = 2;

}  // namespace sifter::cli
