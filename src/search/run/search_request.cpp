#include "search/run/search_request.h"

#include "search/files/mask_list.h"
#include "search/pattern/pattern_matcher.h"

namespace sifter {

std::optional<std::string> RequestProblem(const SearchRequest& request) {
    if (request.rules.regexp) {
        if (std::optional<std::string> problem = PatternProblem(request.text, request.rules))
            return problem;
    }
    if (request.fileType == FileType::Pascal && !request.options.searchIn.Any())
        return "Search In needs at least one of Code, Comments and Strings";
    const MaskListCheck masks = CheckMaskList(request.options.Masks(request.fileType));
    if (!masks.ok()) return masks.error;
    const MaskListCheck leaveOut = CheckLeaveOutList(request.options.leaveOut);
    if (!leaveOut.ok()) return leaveOut.error;
    return std::nullopt;
}

bool PascalAware(const SearchRequest& request) {
    return request.fileType == FileType::Pascal && !request.context.asked &&
           (request.options.routines || !request.options.searchIn.All());
}

FileListing ListingFor(const SearchOptions& options, FileType type) {
    // A list of the user's own lists each name once, however many of its masks match it; the
    // documented mask keeps the documented listing, pass by pass.
    return {options.Masks(type),
            {.eachNameOnce = options.MasksChanged(type) || options.subdirectories,
             .subdirectories = options.subdirectories,
             .leaveOut = options.subdirectories ? options.leaveOut : std::string()}};
}

}  // namespace sifter
