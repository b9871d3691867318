// The editor command split by its own rules and filled in with the place: blanks, quotes, the
// characters a shell would act on, placeholders missing, repeated or inside other words, and
// the commands refused; and the column a match row opens at.

#include <QtTest>

#include "ui/editor/editor_command.h"
#include "ui/editor/open_in_editor.h"

using sifter::ui::EditorCommandProblem;
using sifter::ui::EditorPlace;
using sifter::ui::EditorPresets;
using sifter::ui::SplitEditorCommand;
using Words = std::vector<std::string>;

namespace {

const EditorPlace kPlace{"/home/a b/it's \"x\";rm -rf ~.pas", 12, 5};

QString Shown(const Words& words) {
    QStringList shown;
    for (const std::string& word : words)
        shown << QLatin1Char('<') + QString::fromStdString(word) + QLatin1Char('>');
    return shown.join(QLatin1Char(' '));
}

}  // namespace

class EditorCommandTest final : public QObject {
    Q_OBJECT

private slots:
    void eachCommandGivesTheseWords() {
        const std::string& path = kPlace.path;
        const struct {
            const char* command;
            Words words;
        } cases[] = {
            // The presets.
            {"code -g {file}:{line}:{column}", {"code", "-g", path + ":12:5"}},
            {"kate -l {line} -c {column} {file}", {"kate", "-l", "12", "-c", "5", path}},
            {"gvim +{line} {file}", {"gvim", "+12", path}},
            {"emacs +{line}:{column} {file}", {"emacs", "+12:5", path}},
            {"notepad++ -n{line} {file}", {"notepad++", "-n12", path}},
            // Blanks: runs of them, tabs, and none at the ends.
            {"  gvim \t +{line}   {file}  ", {"gvim", "+12", path}},
            // Quotes keep blanks and the other quote, join what touches them, and may be empty.
            {"\"/opt/my editor/ed\" '{file}'", {"/opt/my editor/ed", path}},
            {"ed -c\"a b\"x 'say \"hi\"' \"it's\"", {"ed", "-ca bx", "say \"hi\"", "it's", path}},
            {"ed \"\" ''", {"ed", "", "", path}},
            // Backslashes are plain: a Windows path stands as typed.
            {"C:\\Tools\\ed.exe \"C:\\a b\\\" {file}", {"C:\\Tools\\ed.exe", "C:\\a b\\", path}},
            // What a shell would act on is only text, and so is a name that holds it.
            {"ed ; rm -rf / $(id) `id` | tee > x & {file}",
             {"ed", ";", "rm", "-rf", "/", "$(id)", "`id`", "|", "tee", ">", "x", "&", path}},
            // No {file}: the file comes last; {line} or {column} missing is no word.
            {"gedit", {"gedit", path}},
            {"ed +{line}", {"ed", "+12", path}},
            // Repeated, side by side, quoted, and beside other braces.
            {"ed {file}{file} {line}{column}{line}", {"ed", path + path, "12512"}},
            {"ed \"{file} at {line}\" {FILE} {col} {}",
             {"ed", path + " at 12", "{FILE}", "{col}", "{}"}},
        };
        for (const auto& c : cases) {
            const sifter::ui::EditorWords split = SplitEditorCommand(c.command, kPlace);
            QVERIFY2(split.problem.empty(), c.command);
            QCOMPARE(Shown(split.words), Shown(c.words));
        }
    }

    void aNameThatLooksLikeAPlaceholderIsNotFilledInAgain() {
        const EditorPlace odd{"/w/{line}{column}.pas", 3, 9};
        QCOMPARE(Shown(SplitEditorCommand("ed -n{line} {file}", odd).words),
                 Shown({"ed", "-n3", "/w/{line}{column}.pas"}));
        QCOMPARE(Shown(SplitEditorCommand("ed", odd).words),
                 Shown({"ed", "/w/{line}{column}.pas"}));
    }

    void blanksAloneNameNoEditorAndBadCommandsAreRefused() {
        for (const char* none : {"", "   ", "\t "}) {
            const sifter::ui::EditorWords split = SplitEditorCommand(none, kPlace);
            QVERIFY(split.words.empty());
            QVERIFY(split.problem.empty());
        }
        const struct {
            const char* command;
            const char* problem;
        } refused[] = {
            {"ed \"{file}", "a quote is not closed: \"{file}"},
            {"ed 'it\"s {file}", "a quote is not closed: 'it\"s {file}"},
            {"{file} -x", "the program's name cannot hold {file}, {line} or {column}"},
            {"ed{line} {file}", "the program's name cannot hold {file}, {line} or {column}"},
            {"\"\" {file}", "the command names no program"},
        };
        for (const auto& r : refused) {
            QCOMPARE(QString::fromStdString(EditorCommandProblem(r.command)),
                     QString::fromLatin1(r.problem));
            const sifter::ui::EditorWords split = SplitEditorCommand(r.command, kPlace);
            QVERIFY(split.words.empty());
            QCOMPARE(QString::fromStdString(split.problem), QString::fromLatin1(r.problem));
        }
        // Every preset can be used as it stands.
        QVERIFY(!EditorPresets().empty());
        for (const char* preset : EditorPresets())
            QVERIFY2(EditorCommandProblem(preset).empty(), preset);
    }

    void aMatchRowOpensWhereItsFirstMatchStartsInCharacters() {
        using sifter::MatchRules;
        const struct {
            const char* text;
            MatchRules rules;
            const char* line;
            int column;
        } cases[] = {
            {"begin", {}, "x := BEGIN; begin", 6},
            {"begin", {.caseSensitive = true}, "BEGIN begin", 7},
            {"Result", {.wholeWords = true}, "Results := Result;", 12},
            // Typed in UTF-8: a Windows-1252 line counts a byte a character, a UTF-8 one by
            // characters, and a tab is one.
            {"caf\xC3\xA9", {}, "le caf\xE9", 4},
            {"caf\xC3\xA9", {}, "\xC3\xA0\tcaf\xC3\xA9", 3},
            {"R\\w+t", {.regexp = true}, "\tx := Result", 7},
            {"Res\\w{3}", {.wholeWords = true, .regexp = true}, "Results Result", 9},
            {"absent", {}, "nothing here", 1},
        };
        for (const auto& c : cases)
            QCOMPARE(sifter::ui::MatchColumn(c.line, sifter::LineMatcher(c.text, c.rules)),
                     std::int64_t{c.column});
    }
};

QTEST_MAIN(EditorCommandTest)
#include "editor_command_test.moc"
