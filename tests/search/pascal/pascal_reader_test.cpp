// The Pascal reader on its own: the lines it finds, and that what it passes over changes no
// routine or type a line lies in.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "search/pascal/pascal_blocks.h"
#include "search/pascal/pascal_reader.h"
#include "test_support.h"

namespace sifter {
namespace {

TEST(PascalReader, FindsEveryLineAsTheSearchDoes) {
    for (const test::LineRuleCase& c : test::LineRuleCases()) {
        const std::string_view data = std::string_view(c.bytes).substr(0, c.bytes.find('\x1A'));
        const std::size_t first = data.find_first_of("\r\n");
        const LineEnds ends = first < data.size() ? DecidedBy(data[first]) : LineEnds::Cr;
        PascalReader stepping(data, ends, nullptr);
        for (std::size_t n = 1; n <= c.lines.size(); ++n) {
            // Line by line, and straight from the start to the line.
            PascalReader jumping(data, ends, nullptr);
            for (PascalReader* reader : {&stepping, &jumping}) {
                ASSERT_TRUE(reader->ToLine(static_cast<std::int64_t>(n)))
                    << testing::PrintToString(c);
                EXPECT_EQ(PascalReader::LineText(data, ends, reader->LineStart()), c.lines[n - 1])
                    << testing::PrintToString(c) << " line " << n;
            }
        }
        EXPECT_FALSE(stepping.ToLine(static_cast<std::int64_t>(c.lines.size()) + 1) &&
                     stepping.LineStart() < data.size())
            << testing::PrintToString(c);
    }
}

TEST(PascalReader, EndsAWordWhereItsLastLetterDigitOrUnderscoreIs) {
    // Words shorter and longer than a compare of 16 bytes, ending at the data's end or before
    // bytes that are no word's: punctuation, a blank, a byte from 128 up, a NUL.
    const std::string texts[] = {"abc_19Z;x", std::string(40, 'q') + " y", "Tail_of_the_data_x",
                                 std::string("ab\xE9") + "cd" + std::string(20, 'e'),
                                 std::string("n\0m", 3)};
    for (const std::string& text : texts) {
        for (std::size_t from = 0; from <= text.size(); ++from) {
            std::size_t end = from;
            while (end < text.size() && pascal_blocks::IsWordByte(text[end])) ++end;
            EXPECT_EQ(pascal_blocks::WordEnd(text.data(), from, text.size()), end)
                << testing::PrintToString(text) << " from " << from;
        }
    }
}

// The header lines of the routines and types each line lies in, outermost first, as the reader
// finds them passing over what it may or telling the structure of every token.
std::vector<std::string> HeaderLines(std::string_view source, PascalReader::Pass pass) {
    PascalStructure structure;
    PascalReader reader(source, LineEnds::Lf, &structure, pass);
    std::vector<std::vector<std::int32_t>> frames;
    for (std::int64_t n = 1; reader.ToLine(n) && reader.LineStart() < source.size(); ++n) {
        structure.BeginLine(true);
        reader.ToLine(n + 1);
        structure.BeginLine(false);
        frames.push_back(structure.LineFrames());
    }
    structure.End();
    std::vector<std::string> headers;
    for (const std::vector<std::int32_t>& line : frames) {
        std::string& text = headers.emplace_back();
        for (const std::int32_t id : line)
            if (structure.Shown(id)) text += std::to_string(structure.At(id).place.line) + " ";
    }
    return headers;
}

// A unit of random declarations, routines (some nested, some methods, some declared only) and
// statements, with comments, strings and conditional code between its lines.
std::string RandomUnit(std::mt19937& random) {
    const auto pick = [&](const auto& from) {
        return std::string(from[random() % std::size(from)]);
    };
    const auto some = [&](int most) { return static_cast<int>(random() % (most + 1)); };
    const std::string_view types[] = {
        "  TFoo = class(TBar)\n    procedure A; virtual;\n  private\n    F: Integer;\n  end;\n",
        "  TRec = packed record a: Integer;\n  case b: Byte of 0: (c: record d: Integer; end); "
        "end;\n",
        "  TG<T: class> = class(TObject) end;\n",
        "  TP = procedure(var a: Integer) of object;\n",
        "  TI = interface ['{0}'] function Q: Integer; end;\n",
        "  TH = type helper for Integer end;\n",
        "  TO = object x: Integer; end;\n",
        "  TC = class;\n",
        "  TM = class of TFoo;\n",
        "  TA = array of record a: Integer; end;\n",
        "  TE = (eA, eB);\n"};
    const std::string_view values[] = {"  X: array[0..2] of Byte = (1, 2,\n 3);\n",
                                       "  Y = 'str''s' + #13;\n",
                                       "  T: TRec = (a: 1; b: (2, 3));\n",
                                       "  Z: Integer = 5;\n",
                                       "  S = [1, 2] + [3];\n",
                                       "  x, y: Integer;\n",
                                       "  p: procedure(a: Integer);\n"};
    const std::string_view headers[] = {"procedure P(const a: Integer; var b: string);\n",
                                        "function F: Integer;\n",
                                        "class function TFoo.B<T>(a: T): T;\n",
                                        "constructor TFoo.Create;\n",
                                        "operator + (a, b: TRec) r: TRec;\n",
                                        "procedure TOuter.TInner.Baz;\n",
                                        "function G(a: Integer = 1; p: procedure(x: Byte)\n"
                                        "  ; const q: array of Byte): TArray<Byte>;\n"};
    const std::string_view statements[] = {"  if a < b then x := 1 else begin x := 2 end;\n",
                                           "  case x of 1: ; else end;\n",
                                           "  try\n  finally\n  end;\n",
                                           "  asm mov eax, 1 end;\n",
                                           "  s := 'end;';\n",
                                           "  p := procedure begin x := 1 end;\n",
                                           "  with y do z := TRec.Create(1, 'a');\n"};
    const std::string_view between[] = {"{ begin end }\n", "(* end\n *)\n", "// end\n",
                                        "{$ifdef X}{ x }\n{$else}\n{$endif}\n", "\n"};
    const auto declarations = [&](bool types_) {
        std::string text;
        for (int n = some(3); n > 0; --n) {
            const bool type = types_ && random() % 2 == 0;
            text += type ? "type\n" : random() % 2 == 0 ? "const\n" : "var\n";
            for (int k = 1 + some(2); k > 0; --k) text += type ? pick(types) : pick(values);
            if (random() % 4 == 0) text += pick(between);
        }
        return text;
    };
    std::function<std::string(int)> routine = [&](int depth) {
        std::string text = pick(headers);
        if (random() % 5 == 0) return text + "  forward;\n";
        if (random() % 6 == 0) return text + "  external 'lib';\n";
        text += declarations(false);
        if (depth < 2 && random() % 3 == 0) text += routine(depth + 1);
        text += "begin\n";
        for (int n = some(4); n > 0; --n)
            text += random() % 4 == 0 ? pick(between) : pick(statements);
        return text + "end;\n";
    };
    std::string unit = "unit u;\ninterface\n" + declarations(true);
    for (int n = some(3); n > 0; --n) unit += pick(headers);
    unit += "implementation\n" + declarations(true);
    for (int n = 1 + some(4); n > 0; --n) unit += routine(0);
    if (random() % 2 == 0) unit += "initialization\n" + pick(statements);
    return unit + "end.\n";
}

TEST(PascalReader, PassesOverNothingThatChangesTheRoutines) {
    std::mt19937 random(2812);
    for (int round = 0; round < 1000; ++round) {
        const std::string source = RandomUnit(random);
        ASSERT_EQ(HeaderLines(source, PascalReader::Pass::OverWhatCannotMatter),
                  HeaderLines(source, PascalReader::Pass::EveryToken))
            << source;
    }
}

}  // namespace
}  // namespace sifter
