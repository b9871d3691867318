// Writes a reproducible corpus of Pascal-like sources with CR LF line ends, every other one
// holding its accented words in Windows-1252 instead of UTF-8:
//   make_corpus DIRECTORY FILES BYTES_PER_FILE [SEED]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kWords = {
    "Total",   "Count",  "Index",   "Buffer", "Record", "Amount",  "Customer",
    "Invoice", "Ledger", "Balance", "Cursor", "Table",  "Field",   "Value",
    "Result",  "Number", "Line",    "Name",   "Item",   "Account", "Report",
    "Period",  "Rate",   "Limit",   "Status", "Entry",  "Source",  "Target"};

std::string Identifier(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, kWords.size() - 1);
    return kWords[pick(random)] + kWords[pick(random)];
}

// A word with an accented letter, in UTF-8 or in Windows-1252 as older files hold it, or an
// ASCII word of the same length as its UTF-8 form, as often: the texts that compare.sh times
// against each other.
std::string Planted(std::mt19937& random, bool legacy) {
    if (random() % 2 == 0) return "native";
    return legacy ? "na\xEFve" : "na\xC3\xAFve";
}

std::string Line(std::mt19937& random, int depth, bool legacy) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    std::uniform_int_distribution<int> kind(0, 19);
    switch (kind(random)) {
        case 0:
            return "procedure " + Identifier(random) + "(var A: Integer; const S: string);";
        case 1:
            return "function " + Identifier(random) + "(X: Real): Boolean;";
        case 2:
            return indent + "begin";
        case 3:
            return indent + "end;";
        case 4:
            if (random() % 8 == 0)
                return indent + "{ a " + Planted(random, legacy) + " " + Identifier(random) + " }";
            return indent + "{ " + Identifier(random) + " keeps the running " + Identifier(random) +
                   " }";
        case 5:
            return indent + "writeln('" + Identifier(random) + ": ', " + Identifier(random) + ");";
        case 6:
            return indent + "if " + Identifier(random) + " > " + Identifier(random) + " then";
        case 7:
            return indent + "for I := 0 to " + Identifier(random) + " - 1 do";
        case 8:
            return "";
        case 9:
            return indent + "// " + Identifier(random) + " checked before the loop";
        default:
            return indent + Identifier(random) + " := " + Identifier(random) + " + " +
                   std::to_string(random() % 1000) + ";";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_corpus DIRECTORY FILES BYTES_PER_FILE [SEED]\n");
        return 2;
    }
    const std::string directory = argv[1];
    const int files = std::atoi(argv[2]);
    const std::size_t bytes = std::strtoull(argv[3], nullptr, 10);
    std::mt19937 random(argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 1u);
    for (int f = 0; f < files; ++f) {
        char name[64];
        std::snprintf(name, sizeof name, "/unit%05d.pas", f);
        std::ofstream out(directory + name, std::ios::binary);
        std::string text = "unit Unit" + std::to_string(f) + ";\r\n\r\ninterface\r\n\r\n";
        // Every other file is a legacy one.
        const bool legacy = f % 2 == 1;
        while (text.size() < bytes)
            text += Line(random, 1 + static_cast<int>(random() % 3), legacy) + "\r\n";
        out << text;
        if (!out) {
            std::fprintf(stderr, "make_corpus: cannot write %s%s\n", directory.c_str(), name);
            return 1;
        }
    }
    return 0;
}
