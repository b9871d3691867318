#include "cli_model.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifndef O_BINARY
#define O_BINARY 0  // only Windows turns LF into CR LF unless told otherwise
#endif

namespace sifter::test {
namespace {

// A line's bytes as the grep forms write them: an LF would end the record.
std::string OneRecord(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

std::string ModelContextText(const std::string& path, const std::vector<std::string>& lines,
                             const std::vector<bool>& procedures, const std::vector<bool>& matches,
                             const ContextLines& context, bool& written) {
    const auto count = static_cast<std::int64_t>(lines.size());
    std::vector<bool> shown(lines.size(), false);
    for (std::int64_t n = 0; n < count; ++n) {
        if (procedures[n]) shown[n] = true;
        if (!matches[n]) continue;
        for (std::int64_t k = std::max<std::int64_t>(0, n - context.before);
             k <= std::min(count - 1, n + context.after); ++k)
            shown[k] = true;
    }
    std::string text;
    std::int64_t last = -2;
    for (std::int64_t n = 0; n < count; ++n) {
        if (!shown[n]) continue;
        if (written && n != last + 1) text += "--\n";
        written = true;
        last = n;
        const std::string number = std::to_string(n + 1);
        const std::string line = OneRecord(lines[n]);
        if (procedures[n]) text += path + ":" + number + "-" + line + "\n";
        if (matches[n]) text += path + ":" + number + ":" + line + "\n";
        if (!procedures[n] && !matches[n]) text += path + "-" + number + "-" + line + "\n";
    }
    return text;
}

std::string ModelGrepText(cli::OutputForm form, const std::string& path,
                          const std::vector<ResultEntry>& rows,
                          const std::vector<std::int64_t>& lines, const std::string& notRead) {
    std::string grep;
    int matches = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& text = rows[i].text;
        if (rows[i].icon == EntryIcon::Procedure) {
            grep += path + ":" + std::to_string(lines[i]) + "-" + OneRecord(text.substr(1)) + "\n";
        } else if (rows[i].icon == EntryIcon::Blank && text.starts_with('[')) {
            const std::size_t close = text.find("] ");
            grep += path + ":" + text.substr(1, close - 1) + ":" +
                    OneRecord(text.substr(close + 2)) + "\n";
            ++matches;
        }
    }
    switch (form) {
        case cli::OutputForm::Grep:
            return grep + notRead;
        case cli::OutputForm::Count:
            return notRead + (matches > 0 ? path + ":" + std::to_string(matches) + "\n" : "");
        case cli::OutputForm::FilesWithMatches:
            return (matches > 0 ? path + "\n" : "") + notRead;
        case cli::OutputForm::Rows:
        case cli::OutputForm::Quiet:
            break;
    }
    throw std::logic_error("the documented rows and the quiet form are no grep form");
}

void FanOutRows::AddFile(std::string_view path) {
    for (RowSink* sink : m_sinks) sink->AddFile(path);
}

void FanOutRows::AddRow(const SearchRow& row) {
    for (RowSink* sink : m_sinks) sink->AddRow(row);
}

void FanOutRows::FileNotRead(std::int32_t file, std::int32_t code) {
    for (RowSink* sink : m_sinks) sink->FileNotRead(file, code);
}

struct GrepForms::Output {
    Output(std::string filePath, int fd, cli::OutputForm form,
           const std::vector<std::string>& names, cli::GrepStyle style)
        : path(std::move(filePath)),
          stream(fd, 2),
          sink(
              stream, form,
              [&names](std::int32_t file) { return names.at(static_cast<std::size_t>(file)); },
              [this](std::int32_t file, std::int32_t code) {
                  stream.Write(NotReadLine(file, code));
              },
              style),
          descriptor(fd) {}
    ~Output() {
        ::close(descriptor);
        std::remove(path.c_str());
    }
    std::string path;
    cli::OutputStream stream;
    cli::StreamRows sink;
    int descriptor;
};

GrepForms::GrepForms(const std::string& pathPrefix, const std::vector<std::string>& names,
                     cli::GrepStyle style) {
    for (const cli::OutputForm form : kForms) {
        const std::string path = pathPrefix + std::to_string(static_cast<int>(form));
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600);
        if (fd < 0) throw std::runtime_error("cannot create " + path);
        m_outputs.push_back(std::make_unique<Output>(path, fd, form, names, style));
    }
}

GrepForms::~GrepForms() = default;

std::string GrepForms::NotReadLine(std::int32_t file, std::int32_t code) {
    return "!not read " + std::to_string(file) + " " + std::to_string(code) + "\n";
}

std::vector<RowSink*> GrepForms::Sinks(std::vector<RowSink*> others) const {
    std::vector<RowSink*> sinks;
    for (const auto& output : m_outputs) sinks.push_back(&output->sink);
    sinks.insert(sinks.end(), others.begin(), others.end());
    return sinks;
}

std::string GrepForms::Take(std::size_t i) {
    Output& output = *m_outputs.at(i);
    if (!output.sink.Finish()) throw std::runtime_error("cannot write " + output.path);
    std::ifstream in(output.path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (::ftruncate(output.descriptor, 0) != 0 || ::lseek(output.descriptor, 0, SEEK_SET) != 0)
        throw std::runtime_error("cannot empty " + output.path);
    return text;
}

}  // namespace sifter::test
