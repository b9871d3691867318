// Pascal sources searched with routine rows and by kind of text: what kind each byte is, and
// which header rows come before which match rows, on small sources that each hold one form.

#include <gtest/gtest.h>

#include "search/pascal/pascal_lexer.h"
#include "search/pascal/pascal_reader.h"
#include "search/run/file_scanner.h"
#include "test_support.h"

namespace sifter {
namespace {

// c code, m comment, s string, d directive, for each byte of each line. The reader, which goes
// through the whole source at once (with and without a structure, with LF and CR LF line ends),
// must find at each line's start what the lexer has open there.
std::string Kinds(std::string_view source) {
    PascalLexer lexer;
    std::vector<PascalKind> kinds;
    std::string out;
    std::string crLf;
    for (const char byte : source)
        crLf += byte == '\n' ? std::string("\r\n") : std::string(1, byte);
    PascalStructure structure;
    PascalReader readers[] = {{source, LineEnds::Lf, nullptr},
                              {source, LineEnds::Lf, &structure},
                              {crLf, LineEnds::Cr, nullptr}};
    std::int64_t number = 0;
    for (std::size_t start = 0; start <= source.size();) {
        ++number;
        for (PascalReader& reader : readers) {
            EXPECT_TRUE(reader.ToLine(number)) << source;
            EXPECT_EQ(reader.Saved(), lexer.Saved()) << source << " line " << number;
        }
        const std::size_t end = std::min(source.find('\n', start), source.size());
        lexer.Line(source.substr(start, end - start), &kinds);
        for (const PascalKind kind : kinds) out += "cmsd"[static_cast<int>(kind)];
        out += '\n';
        start = end + 1;
    }
    out.pop_back();
    return out;
}

TEST(PascalLexer, TellsEveryByteItsKind) {
    const struct {
        std::string_view source, kinds;
    } cases[] = {
        {"a{b}c", "cmmmc"},
        {"a(*b*)c", "cmmmmmc"},
        {"a//b}", "cmmmm"},
        {"x:='it''s';y", "cccssssssscc"},
        {"''#13#$0A'a'", "sscccccccsss"},
        {"{$I x}(*$H+*)a", "dddddddddddddc"},
        // Not nested: the first } closes; a // or quote inside a comment is comment.
        {"{ { } }", "mmmmmcc"},
        {"(* ' // *)x", "mmmmmmmmmmc"},
        {"{ '}'", "mmmms"},
        // Comments and strings go on over line ends, to the end of the file when unclosed.
        {"a{\nb}c\n'x\ny'z", "cm\nmmc\nss\nssc"},
        {"(*\n*\n)", "mm\nm\nm"},
        {"asm mov al,'a' {c} end", "cccccccccccssscmmmcccc"},
        {"a//{\nb", "cmmm\nc"},
        {"(x)*(y)/2", "ccccccccc"},
    };
    for (const auto& c : cases) EXPECT_EQ(Kinds(c.source), c.kinds) << c.source;
}

struct SearchCase {
    std::string_view name;
    std::string_view source;
    std::string_view text;
    bool routines = true;
    SearchIn in;
    // P and the line for each procedure row, M and the line for each match row.
    std::string_view rows;
    MatchRules rules{};
};

// With `indent` blanks before every line, which move the bytes of each line to other places in
// the reader's blocks, or a comment of `tail` bytes after the source, which makes a file too
// large to hold while it is scanned: neither changes a row.
std::string Rows(const SearchCase& c, std::size_t indent = 0, std::size_t tail = 0) {
    const test::TempDir dir;
    std::string source(indent, ' ');
    for (const char byte : c.source)
        source += byte == '\n' ? "\n" + std::string(indent, ' ') : std::string(1, byte);
    if (tail > 0) source += "\n{" + std::string(tail, '.') + "}";
    test::WriteBytes(dir / "a.pas", source);
    SearchRequest request;
    request.text = std::string(c.text);
    request.rules = c.rules;
    request.options.routines = c.routines;
    request.options.searchIn = c.in;
    test::RowCollector collector;
    FileScanner scanner(request, platform::System());
    scanner.Scan(dir / "a.pas", 0, collector);
    std::string out;
    for (const test::SunkRow& row : collector.rows) {
        out += out.empty() ? "" : " ";
        out += row.kind == RowKind::Procedure ? 'P' : row.kind == RowKind::Match ? 'M' : '?';
        out += std::to_string(row.origin.line);
    }
    return out;
}

constexpr SearchIn kCode{true, false, false};
constexpr SearchIn kComments{false, true, false};
constexpr SearchIn kStrings{false, false, true};

const char* const kUnit =
    "unit u;\n"                                                             // 1
    "interface\n"                                                           // 2
    "uses x; // zz\n"                                                       // 3
    "type\n"                                                                // 4
    "  TFoo = class(TBar)\n"                                                // 5
    "    procedure zz;\n"                                                   // 6
    "  end;\n"                                                              // 7
    "procedure Top(a: Integer);\n"                                          // 8
    "var zz: Integer;\n"                                                    // 9
    "implementation\n"                                                      // 10
    "procedure Later; forward;\n"                                           // 11
    "function Ext(zz: Integer): Integer; cdecl; external 'c' name 'zz';\n"  // 12
    "PROCEDURE TFoo.zz;\n"                                                  // 13
    "  function Inner: Integer;\n"                                          // 14
    "  var t: record zz: Integer; end;\n"                                   // 15
    "  begin\n"                                                             // 16
    "    if zz then case a of 1: zz; end;\n"                                // 17
    "  end;\n"                                                              // 18
    "begin\n"                                                               // 19
    "  try zz; finally zz end; 'zz'\n"                                      // 20
    "end;\n"                                                                // 21
    "procedure Top(a: Integer);\n"                                          // 22
    "begin zz end;\n"                                                       // 23
    "procedure Later;\n"                                                    // 24
    "begin\n"                                                               // 25
    "end;\n"                                                                // 26
    "initialization\n"                                                      // 27
    "  zz;\n"                                                               // 28
    "end.\n";                                                               // 29

const SearchCase kCases[] = {
    {"unit", kUnit, "zz", true, {}, "M3 P5 M6 M9 M12 P13 M13 P14 P15 M15 M17 M20 P22 M23 M28"},
    {"unit, code only", kUnit, "zz", true, kCode,
     "P5 M6 M9 M12 P13 M13 P14 P15 M15 M17 M20 P22 M23 M28"},
    {"unit, strings only", kUnit, "zz", false, kStrings, "M12 M20"},
    {"unit, comments only", kUnit, "zz", false, kComments, "M3"},
    {"a match's first byte decides", "x := 'ab' + ab; // ab\n", "ab", false, kCode, "M1"},
    {"the first byte in a comment", "x{ab}c\n", "{ab", false, kComments, "M1"},
    {"regexp start", "'a' + b\n", "'a.+b", false, kStrings, "M1", {.regexp = true}},
    {"whole words only count where they stand",
     "ab; {ab} abc\n",
     "ab",
     false,
     kComments,
     "M1",
     {.wholeWords = true}},
    {"whole word in code", "abc; {ab}\n", "ab", false, kCode, "", {.wholeWords = true}},
    {"methods of generic and nested types",
     "function TList<T>.Get(i: Integer): T;\nbegin zz end;\n"
     "procedure TOuter.TInner.Baz;\nbegin\n  zz\nend;\n",
     "zz",
     true,
     {},
     "P1 M2 P3 M5"},
    {"class methods and operators",
     "class operator TVec.Add(const a, b: TVec): TVec;\nbegin zz end;\n"
     "class\n  function TFoo.Make: TFoo;\nbegin zz end;\n",
     "zz",
     true,
     {},
     "P1 M2 P3 M5"},
    {"a header over several lines, and one without parameters",
     "  procedure Long(\n    a: Integer;\n    b: string = ';');\nbegin zz end;\n",
     "zz",
     true,
     {},
     "P1 M4"},
    {"anonymous methods belong to the routine",
     "procedure A;\nvar p: TProc;\nbegin\n  p := procedure\n    begin zz end;\n  zz\nend;\n",
     "zz",
     true,
     {},
     "P1 M5 M6"},
    {"procedural types are no routines",
     "type\n  TP = procedure(zz: Integer) of object;\nvar q: function: Integer;\n"
     "  r: reference to procedure;\nconst zz = 1;\n",
     "zz",
     true,
     {},
     "M2 M5"},
    {"class of and forward classes have no body",
     "type\n  TC = class of TObject;\n  TD = class;\n  TE = class(TObject);\n"
     "  IG = interface;\nvar zz: TD;\n",
     "zz",
     true,
     {},
     "M6"},
    {"interface and record types, packed and helpers",
     "type\n  IFoo = interface(IUnknown)\n  ['{zz}']\n  end;\n  R = packed record\n"
     "  case zz: Integer of\n  1: (a: Integer);\n  end;\n  H = type helper for Integer\n"
     "   function zz: Integer;\n  end;\n",
     "zz",
     true,
     {},
     "P2 M3 P5 M6 P9 M10"},
    {"an asm block is code to its end",
     "procedure A; assembler;\nasm\n  mov eax, zz\nend;\nprocedure B;\nbegin zz end;\n", "zz", true,
     kCode, "P1 M3 P5 M6"},
    {"a file of declarations only",
     "procedure A;\nfunction B(zz: Integer): Integer;\n",
     "zz",
     true,
     {},
     "M2"},
    {"a program's main block",
     "program p;\nprocedure A;\nbegin end;\nbegin\n  zz;\nend.\n",
     "zz",
     true,
     {},
     "M5"},
    {"CR lines", "procedure A;\rbegin\r  zz\rend;\rzz\r", "zz", true, {}, "P1 M3 M5"},
    {"CR LF lines, an LF inside a CR file's line",
     "procedure A;\r\nbegin { a\n zz }\r\n zz\r\nend;\r\n", "zz", true, kCode, "P1 M3"},
    {"Ctrl-Z ends the file",
     "procedure A;\nbegin\n  zz\nend;\n\x1aprocedure B; begin zz end;",
     "zz",
     true,
     {},
     "P1 M3"},
    {"an unclosed comment runs to the end", "{\nprocedure A;\nbegin zz end;\n", "zz", true, kCode,
     ""},
    {"&-escaped keywords are names",
     "procedure A;\nbegin\n  &begin := 1;\nend;\nzz\n",
     "zz",
     true,
     {},
     "M5"},
    {"a variable named operator",
     "var\n  operator: Char;\n  x: Integer;\nbegin\n  zz\nend.\n",
     "zz",
     true,
     {},
     "M5"},
    {"of conditional code the first branch is followed",
     "procedure A;\n{$ifdef X}\nbegin\n  a := 1;\n{$else}\nbegin\n{$endif}\n  zz\nend;\n"
     "procedure B;\n(*$IFNDEF Y*)begin{$IF Z}{$ELSE}begin{$ENDIF}{$ENDIF} zz end;\n",
     "zz",
     true,
     {},
     "P1 M8 P10 M11"},
    {"long lines of a body, and names that hold keywords across 16-byte blocks",
     "procedure A;\nbegin\n  x := qqqqqqqqqend + qqqqqqqqqqqqqqqqbegin; if a then begin "
     "x := 1 end else case q of 1: ; end; Try a finally b End; {end} 'end' (*end*) x\n  zz\n"
     "end;\nprocedure B;\nbegin zz end;\n",
     "zz",
     true,
     {},
     "P1 M4 P6 M7"},
    {"the header line's own match", "procedure zz;\nbegin\nend;\n", "zz", true, {}, "P1 M1"},
    {"names that only look like keywords open and close nothing",
     "procedure A;\nvar Endd, Begin_, bEgIns: Integer; Procedures: Byte;\nbegin\n"
     "  Endd := Tryy + Ends + Asm1; zz\nend;\n",
     "zz",
     true,
     {},
     "P1 M4"},
    {"a member record's line is that of its name, after a comment or on a line of its own",
     "type\n  TFoo = class\n    a: Integer; { c }\n    FRec: record\n      zz: Integer;\n"
     "    end;\n    b: Byte;\n    GRec: record zz: Byte; end;\n  end;\n",
     "zz",
     true,
     {},
     "P2 P4 M5 P8 M8"},
};

TEST(PascalSearch, ListsRoutineRowsAndCountsKinds) {
    for (const SearchCase& c : kCases) {
        for (std::size_t indent = 0; indent <= 64; indent += c.source.size() > 64 ? 1 : 64)
            EXPECT_EQ(Rows(c, indent), c.rows) << c.name << ", indented by " << indent;
        EXPECT_EQ(Rows(c, 0, std::size_t{3} << 19), c.rows) << c.name << ", 1.5 MiB long";
    }
}

}  // namespace
}  // namespace sifter
