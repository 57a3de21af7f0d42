// What the benchmarks share: their inputs (the GBK files written by
// bench/prepare_data.sh; a benchmark whose data is missing reports it with
// SkipWithError), a scratch directory and the wrong-answer abort.
#ifndef ZHTEXT_BENCH_BENCH_DATA_H_
#define ZHTEXT_BENCH_BENCH_DATA_H_

#include <string>
#include <vector>

namespace zhtext {
namespace bench {

// The directory of the data: $ZHTEXT_BENCH_DATA, else bench/data of the
// source tree.
std::string DataDir();

// The GBK running text (manpages-zh), or empty when missing.
const std::string& BenchText();

// The GBK word list (python3-jieba), one word per entry, in file order, or
// empty when missing.
const std::vector<std::string>& BenchWords();

// Path of the word list file.
std::string BenchWordsPath();

// `gbk` as a mode-0 dictionary reads it: single-byte capitals folded to
// small letters, two-byte characters unchanged.
std::string FoldMode0(const std::string& gbk);

// Ends the run with "wrong answer: <what>": a benchmark checks its answers
// before it is timed, and a wrong one is not worth a figure.
[[noreturn]] void Abort(const char* what);

// A path for `name` in a scratch directory made for this run and removed at
// exit.
std::string ScratchFile(const char* name);

}  // namespace bench
}  // namespace zhtext

#endif  // ZHTEXT_BENCH_BENCH_DATA_H_
