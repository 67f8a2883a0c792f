// Benchmark of the PPD reader against libcups on the same files.
//
//   ppd_bench gen SCALE OUT       write the synthetic PPD at SCALE (1, 4, 16, 64...)
//   ppd_bench quorlix FILE        build a PpdDocument from FILE (once to warm up, once measured)
//   ppd_bench cups FILE           ppdOpenFile + ppdMarkDefaults + ppdConflicts (warm-up, measured)
//   ppd_bench time FILE REPS      wall time of both, median of REPS runs, in milliseconds
//
// Instruction counts come from callgrind with --toggle-collect on the two
// measured functions (bench_measure_quorlix, bench_measure_cups), so only the
// second, warm call of each is counted: the reader's construction with its
// constraint pass (the file opened and read through fileReadByte, as the plug-in
// does), and libcups' open with its default marking and conflict check.
// Releasing the results is outside the measured functions for both.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <cups/ppd.h>

#include "ppd/byte_source.h"
#include "ppd/ppd_document.h"

namespace {

// The synthetic PPD: everything scales with SCALE, so its size and each of
// the counts that the reader's and the constraint pass's costs depend on
// (features, options, installed options, constraints) grow linearly.
void generate(int scale, FILE *out) {
    fprintf(out, "*PPD-Adobe: \"4.3\"\n*%% Synthetic PPD for the reader benchmark, scale %d\n", scale);
    fprintf(out, "*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n");
    fprintf(out, "*LanguageEncoding: ISOLatin1\n*PCFileName: \"SYNTH.PPD\"\n*Manufacturer: \"Quorlix\"\n");
    fprintf(out, "*Product: \"(Synthetic)\"\n*ModelName: \"Quorlix Synthetic %d\"\n", scale);
    fprintf(out, "*ShortNickName: \"Quorlix Synthetic\"\n*NickName: \"Quorlix Synthetic %d\"\n*PSVersion: \"(3010) 0\"\n",
            scale);
    const int installed = 4 * scale, general = 24 * scale, options = 8;
    fprintf(out, "*OpenGroup: InstallableOptions/Installed Options\n");
    for (int i = 0; i < installed; ++i) {
        fprintf(out, "*OpenUI *Unit%d/Installable Unit %d: PickOne\n*OrderDependency: 10 AnySetup *Unit%d\n", i, i, i);
        fprintf(out, "*DefaultUnit%d: None\n", i);
        fprintf(out, "*Unit%d None/Not Installed: \"\"\n*Unit%d Small/Small Unit: \"\"\n*Unit%d Large/Large Unit: \"\"\n",
                i, i, i);
        fprintf(out, "*CloseUI: *Unit%d\n", i);
    }
    fprintf(out, "*CloseGroup: InstallableOptions\n");
    for (int g = 0; g < general; g += 8) {
        fprintf(out, "*OpenGroup: Group%d/Settings Group %d\n", g / 8, g / 8);
        for (int i = g; i < g + 8 && i < general; ++i) {
            fprintf(out, "*%%=== Feature %d ===\n*OpenUI *Feature%d/Printer Feature %d: PickOne\n", i, i, i);
            fprintf(out, "*OrderDependency: %d AnySetup *Feature%d\n*DefaultFeature%d: Choice0\n", 20 + i % 50, i, i);
            for (int o = 0; o < options; ++o)
                fprintf(out, "*Feature%d Choice%d/Choice %d of feature %d: \"<</Feature%d %d>> setpagedevice\"\n", i, o,
                        o, i, i, o);
            fprintf(out, "*?Feature%d: \"\n  save currentpagedevice /Feature%d get == restore\n\"\n*End\n", i, i);
            fprintf(out, "*CloseUI: *Feature%d\n", i);
        }
        fprintf(out, "*CloseGroup: Group%d\n", g / 8);
    }
    // Each installed unit rules out two choices of six features.
    for (int i = 0; i < installed; ++i)
        for (int k = 0; k < 6; ++k) {
            int f = (i * 6 + k) % general;
            fprintf(out, "*UIConstraints: *Unit%d None *Feature%d Choice%d\n", i, f, 1 + k % 7);
            fprintf(out, "*UIConstraints: *Unit%d Small *Feature%d Choice%d\n", i, f, 2 + k % 6);
        }
    fprintf(out, "*%% End of file\n");
}

}  // namespace

// The measured work, kept out of line so that callgrind can collect exactly
// these calls.
extern "C" __attribute__((noinline)) PpdDocument *bench_measure_quorlix(const char *path) {
    FILE *f = fopen(path, "rb");
    if (!f) return nullptr;
    PpdDocument *doc = new PpdDocument(fileReadByte, f);
    fclose(f);
    return doc;
}

extern "C" __attribute__((noinline)) ppd_file_t *bench_measure_cups(const char *path, int *conflicts) {
    ppd_file_t *ppd = ppdOpenFile(path);
    if (!ppd) return nullptr;
    ppdMarkDefaults(ppd);
    *conflicts = ppdConflicts(ppd);
    return ppd;
}

// The same work for the warm-up call, which is not collected.
__attribute__((noinline)) PpdDocument *warmQuorlix(const char *path) {
    FILE *f = fopen(path, "rb");
    if (!f) return nullptr;
    PpdDocument *doc = new PpdDocument(fileReadByte, f);
    fclose(f);
    return doc;
}

__attribute__((noinline)) ppd_file_t *warmCups(const char *path, int *conflicts) {
    ppd_file_t *ppd = ppdOpenFile(path);
    if (!ppd) return nullptr;
    ppdMarkDefaults(ppd);
    *conflicts = ppdConflicts(ppd);
    return ppd;
}

static int runQuorlix(const char *path) {
    delete warmQuorlix(path);
    PpdDocument *doc = bench_measure_quorlix(path);
    if (!doc) return 1;
    printf("features %d constraints %d installed %d\n", doc->featureCount, doc->constraintCount, doc->installedCount);
    delete doc;
    return 0;
}

static int runCups(const char *path) {
    int conflicts = 0;
    ppd_file_t *warm = warmCups(path, &conflicts);
    if (warm) ppdClose(warm);
    ppd_file_t *ppd = bench_measure_cups(path, &conflicts);
    if (!ppd) return 1;
    printf("groups %d constraints %d conflicts %d\n", ppd->num_groups, ppd->num_consts, conflicts);
    ppdClose(ppd);
    return 0;
}

static double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

static int runTime(const char *path, int reps) {
    std::vector<double> q, c;
    for (int i = 0; i < reps; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        PpdDocument *doc = bench_measure_quorlix(path);
        auto t1 = std::chrono::steady_clock::now();
        delete doc;
        int conflicts = 0;
        auto t2 = std::chrono::steady_clock::now();
        ppd_file_t *ppd = bench_measure_cups(path, &conflicts);
        auto t3 = std::chrono::steady_clock::now();
        if (ppd) ppdClose(ppd);
        q.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        c.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
    }
    printf("%.3f %.3f\n", medianMs(q), medianMs(c));
    return 0;
}

int main(int argc, char **argv) {
    if (argc >= 4 && !strcmp(argv[1], "gen")) {
        FILE *out = fopen(argv[3], "wb");
        if (!out) return 1;
        generate(atoi(argv[2]), out);
        return fclose(out) == 0 ? 0 : 1;
    }
    if (argc == 3 && !strcmp(argv[1], "quorlix")) return runQuorlix(argv[2]);
    if (argc == 3 && !strcmp(argv[1], "cups")) return runCups(argv[2]);
    if (argc == 4 && !strcmp(argv[1], "time")) return runTime(argv[2], std::max(1, atoi(argv[3])));
    fprintf(stderr, "usage: ppd_bench gen SCALE OUT | quorlix FILE | cups FILE | time FILE REPS\n");
    return 2;
}
