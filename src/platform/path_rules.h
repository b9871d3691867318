#pragma once
// How a system writes paths: its separators, the drive or network-share prefix, when two names
// stand for the same directory, how long a name an open takes. Everything above the platform
// layer that takes a path apart or puts one together asks these rules, so that the engine has
// one shape on every system. Both rule sets are plain string work and exist everywhere, so
// each can be checked on either system; `Paths()` is the one of the system the program runs on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sifter::platform {

class PathRules final {
public:
    enum class Style {
        Posix,    // "/" only; no prefix; names compared byte for byte
        Windows,  // "\" and "/"; "C:" and "\\server\share"; letter case ignored; 259-byte names
    };

    explicit constexpr PathRules(Style style) : m_style(style) {}

    Style style() const { return m_style; }
    // The separator the system writes: '/' or '\'.
    char Separator() const { return m_style == Style::Windows ? '\\' : '/'; }
    bool IsSeparator(char c) const { return c == '/' || (m_style == Style::Windows && c == '\\'); }

    // Bytes of the drive ("C:") or network-share ("\\server\share") prefix; 0 when there is
    // none, and always 0 on a system without drives.
    std::size_t PrefixLength(std::string_view path) const;
    // Whether `path` is a drive letter and its colon, nothing else: that drive's own current
    // directory.
    bool IsBareDrive(std::string_view path) const;
    // The root that a path without a known volume belongs to: "/", or its prefix with a
    // separator ("C:\", "\\server\share\").
    std::string RootOf(std::string_view path) const;

    // Whether two spellings name the same directory: letter case ignored where the system
    // ignores it, byte for byte where names are case-sensitive.
    bool SameDirectory(std::string_view a, std::string_view b) const;
    // `name` below `directory`: no separator is added after a separator or a bare drive, and
    // an empty directory gives the name alone.
    std::string Join(std::string_view directory, std::string_view name) const;
    // The names of a path's parts in order, empty ones (doubled separators) left out.
    std::vector<std::string_view> SplitNames(std::string_view path) const;
    // The part of `path` below `root`, without its leading separator; false when the path is
    // not `root` or below it. "/media/usbstick" is not below "/media/usb".
    bool Below(std::string_view path, std::string_view root, std::string_view& rest) const;
    // Drops one trailing separator from a path longer than its root ("C:\WORK\" to "C:\WORK");
    // a root keeps its separator.
    std::string WithoutTrailingSeparator(std::string_view path) const;
    // `name` below a directory as the user typed it, the way grep names the files of a tree:
    // the separators that end the typed path are dropped (on POSIX, as grep drops them, only
    // from a path of three bytes or more, down to one byte: "//" stays, "d//" is "d"; on
    // Windows down to its root, "C:\"), then Join. "." gives "./a.pas", "src/" "src/a.pas".
    std::string JoinAsTyped(std::string_view typed, std::string_view name) const;

    // Most bytes of a name handed to an open; a longer one is cut to this (npos: no cut).
    std::size_t MaxOpenName() const { return m_style == Style::Windows ? 259 : std::string::npos; }
    // Whether a directory's full path is too long for the system to list it: Windows' ANSI
    // calls take 259 bytes, the "\*.*" of a listing included; POSIX takes 4095.
    bool TooLongToList(std::string_view directory) const;
    // Characters at the front of a shown file name that shortening never takes away: the
    // drive part "C:\", or the root's "/".
    std::size_t LabelHeadLength(std::string_view fileName) const;
    // A volume's name in the list of volumes: the drive letter and its colon ("c:"), or the
    // mount path itself.
    std::string VolumeName(std::string_view root) const;

private:
    Style m_style;
};

inline constexpr PathRules kPosixPaths{PathRules::Style::Posix};
inline constexpr PathRules kWindowsPaths{PathRules::Style::Windows};

// The rules of the system the program runs on.
const PathRules& Paths();

}  // namespace sifter::platform
