// Times vantor-cli build and extract against `cat stub header movie trailer > out` and
// `tail -c` on the same files in the same run, for each layout at 1 MiB and 1 GiB, and
// reports the speed ratios and each child's peak memory (ru_maxrss from wait4). The Linux
// layouts get an ELF stub (one segment over the whole file) and their header before the
// movie; the Windows layout its trailer after it, which tail copies as well. Usage:
// vantor_bench DATA_FOLDER; the folder is created and removed again.
//
// Then a windows build of a 512 MiB movie with an icon and version strings against the same
// build without them (the stub is a 1 MiB PE program without resources, which gets a
// resource section), both vantor-cli, taking turns: the ratio and both peak memories.
// `vantor_bench DATA_FOLDER face` runs that comparison only.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
  double seconds = 1e30;
  long maxRssKiB = 0;
};

// Runs ARGV once with stdout sent to OUTPATH, after removing what the last run wrote.
RunResult RunOnce(const std::vector<std::string>& argv, const std::string& outPath, const std::string& removeFirst) {
  fs::remove(removeFirst);
  sync();  // no dirty pages left to write back: they would bill whoever runs next
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    int fd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    close(fd);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", argv[0].c_str());
    std::exit(1);
  }
  return {seconds, usage.ru_maxrss};
}

void KeepBest(RunResult& best, const RunResult& run) {
  best.seconds = std::min(best.seconds, run.seconds);
  best.maxRssKiB = std::max(best.maxRssKiB, run.maxRssKiB);
}

// How one layout frames the movie: LENGTHWIDTH bytes of length and the marker before it
// (Linux), or the magic and a 4-byte length after it (Windows, LENGTHWIDTH 0).
struct Layout {
  const char* name;
  int lengthWidth;
};
constexpr Layout Layouts[] = {{"windows", 0}, {"linux32", 4}, {"linux64", 8}};

std::string LittleEndian(uint64_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += char(value >> (8 * i));
  return bytes;
}

// The bytes before (PRE) and after (POST) a movie of LENGTH bytes.
void Frame(const Layout& layout, int64_t length, std::string& pre, std::string& post) {
  pre = post = "";
  if (layout.lengthWidth == 0) {
    post = LittleEndian(0xFA123456, 4) + LittleEndian(uint64_t(length), 4);
    return;
  }
  pre = LittleEndian(uint64_t(length), layout.lengthWidth) + LittleEndian(0xFA123456, 4);
  if (layout.lengthWidth == 8) pre += LittleEndian(0xFFFFFFFF, 4);
}

void WriteBytes(const std::string& path, const std::string& bytes, const char* mode = "wb") {
  FILE* f = std::fopen(path.c_str(), mode);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Replaces the first bytes of the file at PATH.
void WriteOver(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes, "r+b"); }

// The ELF header and one program header whose segment covers all SIZE bytes, so that the
// ELF image ends where the file does.
std::string ElfHeader(int bits, int64_t size) {
  const bool wide = bits == 64;
  const int word = wide ? 8 : 4, headerSize = wide ? 64 : 52, phSize = wide ? 56 : 32;
  std::string h = std::string("\x7F" "ELF") + char(wide ? 2 : 1) + '\1' + '\1' + std::string(9, '\0');
  h += LittleEndian(2, 2) + LittleEndian(wide ? 62 : 3, 2) + LittleEndian(1, 4);  // type, machine, version
  h += LittleEndian(0, word) + LittleEndian(uint64_t(headerSize), word) + LittleEndian(0, word);  // entry, phoff, shoff
  h += LittleEndian(0, 4) + LittleEndian(uint64_t(headerSize), 2) + LittleEndian(uint64_t(phSize), 2);
  h += LittleEndian(1, 2) + LittleEndian(wide ? 64 : 40, 2) + LittleEndian(0, 2) + LittleEndian(0, 2);
  h += LittleEndian(1, 4);  // PT_LOAD
  if (wide) h += LittleEndian(5, 4);  // p_flags comes second in ELF64
  h += LittleEndian(0, word) + LittleEndian(0, word) + LittleEndian(0, word);  // offset, vaddr, paddr
  h += LittleEndian(uint64_t(size), word) + LittleEndian(uint64_t(size), word);  // filesz, memsz
  return h;
}

void WritePattern(const std::string& path, int64_t size, uint32_t seed) {
  std::vector<uint32_t> block(1 << 18);  // 1 MiB
  FILE* f = std::fopen(path.c_str(), "wb");
  for (int64_t left = size; left > 0;) {
    for (uint32_t& w : block) seed = seed * 1664525u + 1013904223u, w = seed;
    const size_t n = size_t(std::min<int64_t>(left, int64_t(block.size() * 4)));
    std::fwrite(block.data(), 1, n, f);
    left -= int64_t(n);
  }
  std::fclose(f);
}

bool SameBytes(const std::string& a, const std::string& b, int64_t count) {
  FILE *fa = std::fopen(a.c_str(), "rb"), *fb = std::fopen(b.c_str(), "rb");
  std::vector<char> ba(1 << 20), bb(1 << 20);
  bool same = fa && fb;
  for (int64_t left = count; same && left > 0;) {
    const size_t n = size_t(std::min<int64_t>(left, int64_t(ba.size())));
    same = std::fread(ba.data(), 1, n, fa) == n && std::fread(bb.data(), 1, n, fb) == n &&
           std::equal(ba.begin(), ba.begin() + long(n), bb.begin());
    left -= int64_t(n);
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return same;
}

void Report(const char* what, const Layout& layout, const char* size, const RunResult& ours, const RunResult& theirs,
            const char* ref) {
  std::printf("%-8s %-8s %-6s vantor-cli %8.1f ms %7ld KiB | %-5s %8.1f ms %7ld KiB | speed %.2fx of %s\n", what,
              layout.name, size, ours.seconds * 1e3, ours.maxRssKiB, ref, theirs.seconds * 1e3, theirs.maxRssKiB,
              theirs.seconds / ours.seconds, ref);
}

void BenchSize(const fs::path& folder, const Layout& layout, int64_t movieSize, const char* label, int repeats) {
  const std::string stub = folder / "stub", movie = folder / "movie.swf", pre = folder / "pre", post = folder / "post";
  const std::string built = folder / "built", catted = folder / "cat.out";
  const std::string extracted = folder / "extracted.swf", tailed = folder / "tail.out";
  const int64_t stubSize = 1 << 20;
  WritePattern(stub, stubSize, 1);
  if (layout.lengthWidth) WriteOver(stub, ElfHeader(layout.lengthWidth * 8, stubSize));
  WritePattern(movie, movieSize, 2);
  std::string preBytes, postBytes;
  Frame(layout, movieSize, preBytes, postBytes);
  WriteBytes(pre, preBytes);
  WriteBytes(post, postBytes);

  // Ours and the reference take turns, so both see the same machine; the best run counts.
  RunResult cat, build, extract, tail;
  for (int r = 0; r < repeats; ++r) {
    KeepBest(cat, RunOnce({"cat", stub, pre, movie, post}, catted, catted));
    KeepBest(build, RunOnce({VANTOR_CLI_PATH, "build", movie, "--stub", stub, "--layout", layout.name, "-o", built},
                            "/dev/null", built));
  }
  const std::string tailCount = std::to_string(movieSize + int64_t(postBytes.size()));
  for (int r = 0; r < repeats; ++r) {
    KeepBest(tail, RunOnce({"tail", "-c", tailCount, built}, tailed, tailed));
    KeepBest(extract, RunOnce({VANTOR_CLI_PATH, "extract", built, "-o", extracted}, "/dev/null", extracted));
  }
  const int64_t builtSize = stubSize + int64_t(preBytes.size()) + movieSize + int64_t(postBytes.size());
  if (int64_t(fs::file_size(built)) != builtSize || !SameBytes(built, catted, builtSize) ||
      !SameBytes(extracted, tailed, movieSize) || int64_t(fs::file_size(extracted)) != movieSize) {
    std::fprintf(stderr, "outputs differ from cat/tail at %s %s\n", layout.name, label);
    std::exit(1);
  }
  Report("build", layout, label, build, cat, "cat");
  Report("extract", layout, label, extract, tail, "tail");
  for (const std::string& f : {stub, pre, post, movie, built, catted, extracted, tailed}) fs::remove(f);
}

// The headers of a PE program of SIZE bytes: one section from 0x200 to the end, room in the
// header for another.
std::string PeHeader(int64_t size) {
  std::string h(0x200, '\0');
  auto put = [&](size_t at, uint64_t value, int width) { h.replace(at, size_t(width), LittleEndian(value, width)); };
  h[0] = 'M', h[1] = 'Z';
  put(0x3C, 0x40, 4);
  h.replace(0x40, 4, std::string("PE\0\0", 4));
  put(0x44, 0x8664, 2), put(0x46, 1, 2), put(0x54, 240, 2), put(0x56, 0x22, 2);
  const size_t opt = 0x58, raw = size_t(size) - 0x200;
  put(opt, 0x20B, 2), put(opt + 24, 0x400000, 8), put(opt + 32, 0x1000, 4), put(opt + 36, 0x200, 4);
  put(opt + 56, 0x1000 + ((raw + 0xFFF) & ~size_t(0xFFF)), 4), put(opt + 60, 0x200, 4), put(opt + 68, 2, 2);
  put(opt + 108, 16, 4);
  const size_t section = opt + 240;
  h.replace(section, 5, ".text");
  put(section + 8, raw, 4), put(section + 12, 0x1000, 4), put(section + 16, raw, 4), put(section + 20, 0x200, 4);
  put(section + 36, 0x60000020, 4);
  return h;
}

// An icon file with one 32-bit image of SIZE pixels.
std::string IconFile(int size) {
  const uint64_t imageSize = 40 + uint64_t(size * size) * 4 + uint64_t((size + 31) / 32 * 4 * size);
  std::string icon = LittleEndian(0, 2) + LittleEndian(1, 2) + LittleEndian(1, 2);
  icon += std::string(1, char(size)) + char(size) + LittleEndian(0, 2) + LittleEndian(1, 2) + LittleEndian(32, 2);
  icon += LittleEndian(imageSize, 4) + LittleEndian(22, 4);
  icon += LittleEndian(40, 4) + LittleEndian(uint64_t(size), 4) + LittleEndian(uint64_t(2 * size), 4);
  icon += LittleEndian(1, 2) + LittleEndian(32, 2) + std::string(24, '\0');
  return icon + std::string(size_t(imageSize - 40), '\x55');
}

void BenchFace(const fs::path& folder, int repeats) {
  const std::string stub = folder / "stub.exe", movie = folder / "movie.swf", icon = folder / "face.ico";
  const std::string plain = folder / "plain.exe", faced = folder / "faced.exe";
  const int64_t stubSize = 1 << 20, movieSize = int64_t{512} << 20;
  WritePattern(stub, stubSize, 1);
  WriteOver(stub, PeHeader(stubSize));
  WritePattern(movie, movieSize, 2);
  WriteBytes(icon, IconFile(48));
  const std::vector<std::string> base{VANTOR_CLI_PATH, "build", movie, "--stub", stub, "-o"};
  std::vector<std::string> withFace = base;
  withFace.insert(withFace.end(), {faced, "--icon", icon, "--version-string", "FileDescription=Benchmark",
                                   "--version-string", "ProductName=Vantor", "--file-version", "1.2.3.4"});
  std::vector<std::string> without = base;
  without.push_back(plain);
  RunResult ours, reference;
  for (int r = 0; r < repeats; ++r) {
    KeepBest(reference, RunOnce(without, "/dev/null", plain));
    KeepBest(ours, RunOnce(withFace, "/dev/null", faced));
  }
  const int64_t plainSize = int64_t(fs::file_size(plain)), facedSize = int64_t(fs::file_size(faced));
  if (plainSize != stubSize + movieSize + 8 || facedSize <= plainSize || facedSize > plainSize + (128 << 10)) {
    std::fprintf(stderr, "unexpected projector sizes %lld and %lld\n", (long long)plainSize, (long long)facedSize);
    std::exit(1);
  }
  std::printf("build    windows  512 MiB icon+version %8.1f ms %7ld KiB | plain %8.1f ms %7ld KiB | time %.3fx of plain\n",
              ours.seconds * 1e3, ours.maxRssKiB, reference.seconds * 1e3, reference.maxRssKiB,
              ours.seconds / reference.seconds);
  for (const std::string& f : {stub, movie, icon, plain, faced}) fs::remove(f);
}

}  // namespace

int main(int argc, char** argv) {
  const bool faceOnly = argc == 3 && std::string(argv[2]) == "face";
  if (argc != 2 && !faceOnly) {
    std::fprintf(stderr, "usage: vantor_bench DATA_FOLDER [face]\n");
    return 2;
  }
  const fs::path folder = fs::path(argv[1]) / "vantor-bench";
  fs::create_directories(folder);
  std::printf("best of several runs; speed = reference time / vantor-cli time (1.00x = as fast)\n");
  for (const Layout& layout : faceOnly ? std::vector<Layout>{} : std::vector<Layout>(std::begin(Layouts), std::end(Layouts))) {
    BenchSize(folder, layout, int64_t{1} << 20, "1 MiB", 9);
    BenchSize(folder, layout, int64_t{1} << 30, "1 GiB", 5);
  }
  BenchFace(folder, 5);
  fs::remove_all(folder);
  return 0;
}
