// How long one read of a large directory takes: the window reads it on every keystroke.
//   fileset_bench [FILES] [ROUNDS]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "search/files/file_set.h"

namespace {

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_COLLATE, "");
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 100;
    char pattern[] = "/tmp/sifter32-fileset-XXXXXX";
    const std::string directory = ::mkdtemp(pattern);
    for (int i = 0; i < files; ++i) {
        // Names in no particular order, as a real directory holds them.
        const unsigned mixed = static_cast<unsigned>(i) * 2654435761u;
        std::ofstream(directory + "/Unit_" + std::to_string(mixed % 1000003) + "_" +
                      std::to_string(i) + ".pas");
    }
    for (int i = 0; i < files / 10; ++i)
        std::ofstream(directory + "/other" + std::to_string(i) + ".txt");

    sifter::FileSet set;
    set.SetDirectory(directory);
    set.SetMask("*.pas");
    std::vector<double> refresh, maskChange;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        set.Refresh();
        refresh.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        start = std::chrono::steady_clock::now();
        set.SetMask(round % 2 == 0 ? "*.sc" : "*.pas");  // a click on the file type: two reads
        set.Refresh();
        maskChange.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    set.SetMask("*.pas");
    set.Refresh();
    std::printf("files listed: %d (collation %s)\n", set.Count(),
                std::setlocale(LC_COLLATE, nullptr));
    std::printf("Refresh:              median %.2f ms, p90 %.2f ms\n", Percentile(refresh, 0.5),
                Percentile(refresh, 0.9));
    std::printf("mask change + Refresh: median %.2f ms, p90 %.2f ms\n", Percentile(maskChange, 0.5),
                Percentile(maskChange, 0.9));
    std::system(("rm -rf '" + directory + "'").c_str());
    return set.Count() == files ? 0 : 1;
}
