// For bench/pascal_reference.sh: the routine each line of Pascal sources lies in, as the search's
// routine rows place it. For each file named, its path, then one line per line of the file:
// its number, a tab and the header line of the innermost routine it lies in (0 for none).
//   pascal_routines FILE...

#include <cstdio>
#include <string>

#include "search/lines/line_index.h"
#include "search/pascal/pascal_reader.h"
#include "search/pascal/pascal_structure.h"

namespace {

int Dump(const std::string& path) {
    const sifter::LineIndexResult read = sifter::LineIndex::Read(path);
    if (!read.lines) {
        std::fprintf(stderr, "pascal_routines: %s: error %d\n", path.c_str(), read.error);
        return 1;
    }
    sifter::PascalStructure structure;
    sifter::PascalReader reader(read.lines->Data(), read.lines->Ends(), &structure);
    std::vector<std::vector<std::int32_t>> frames;
    for (std::int64_t i = 0; i < read.lines->LineCount(); ++i) {
        reader.ToLine(i + 1);
        structure.BeginLine(true);
        reader.ToLine(i + 2);
        structure.BeginLine(false);
        frames.push_back(structure.LineFrames());
    }
    structure.End();
    std::printf("FILE\t%s\n", path.c_str());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::int64_t routine = 0;
        for (const std::int32_t id : frames[i])
            if (structure.Shown(id) &&
                structure.At(id).kind == sifter::PascalStructure::Frame::Kind::Routine)
                routine = structure.At(id).place.line;
        std::printf("%zu\t%lld\n", i + 1, static_cast<long long>(routine));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) status |= Dump(argv[i]);
    return status;
}
