#include "zhtext/util/file_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "zhtext/platform/case_compare.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/platform/sleep.h"
#include "zhtext/platform/stream_seek.h"
#include "zhtext/util/log.h"

namespace zhtext {

namespace {

constexpr unsigned kPollMilliseconds = 2;

bool SamePath(const std::string& open, const char* path) {
  if (platform::FileNamesAreCaseSensitive()) return open == path;
  return platform::CompareNoCase(open.c_str(), path) == 0;
}

}  // namespace

CFileReader::CFileReader()
    : m_fpFileRead(nullptr), m_nReading(0), m_bOpening(false), m_nFileSize(0) {}

CFileReader::~CFileReader() {
  if (m_fpFileRead != nullptr) std::fclose(m_fpFileRead);
}

bool CFileReader::InstallFile(const char* path) {
  std::FILE* stream = std::fopen(path, "rb");
  if (stream == nullptr) {
    WriteLog(std::string("Failed open file  ") + path, nullptr, false);
    return false;
  }
  m_bOpening.store(true);
  if (m_fpFileRead != nullptr) std::fclose(m_fpFileRead);
  m_fpFileRead = stream;
  platform::FileStatus status;
  if (platform::GetStreamStatus(stream, &status)) {
    m_nFileSize = status.size;
  } else {
    // An unknown size reads as an empty file.
    WriteErrorLog("_fstat( _fileno(m_fpFileRead) failed");
    WriteErrorLog(path);
    m_nFileSize = 0;
  }
  m_strFileName = path;
  m_bOpening.store(false);
  return true;
}

// The decision to switch files, the switch and the read all happen under the
// one mutex, so a read always comes from the file its caller asked for, even
// while other threads switch the reader between files. Because reads count
// themselves in m_nReading only while holding the mutex, a caller that holds
// it never sees a read in progress and installs the new file at once.
std::size_t CFileReader::ReadBlock(const char* path, char** buffer, std::int64_t offset,
                                   std::size_t length, bool wholeFile) {
  if (buffer == nullptr) return 0;
  *buffer = nullptr;
  if (path == nullptr) return 0;

  while (m_bOpening.load()) platform::SleepMilliseconds(kPollMilliseconds);

  platform::MutexLock lock(&m_hMutex);
  if (!SamePath(m_strFileName, path) && !InstallFile(path)) return 0;

  if (length == 0 && wholeFile) {
    if (m_nFileSize < 0 ||
        static_cast<std::uint64_t>(m_nFileSize) >= std::numeric_limits<std::size_t>::max()) {
      return 0;
    }
    length = static_cast<std::size_t>(m_nFileSize);
  }
  if (length == std::numeric_limits<std::size_t>::max()) return 0;  // length + 1 would wrap
  char* block = new (std::nothrow) char[length + 1];
  if (block == nullptr) return 0;
  *buffer = block;
  block[0] = '\0';
  if (length == 0 || m_fpFileRead == nullptr) return 0;

  m_nReading.fetch_add(1);
  std::size_t got = 0;
  bool ok = platform::SeekStream(m_fpFileRead, offset);
  if (ok) {
    got = std::fread(block, 1, length, m_fpFileRead);
    ok = got == length || !std::ferror(m_fpFileRead);
    std::clearerr(m_fpFileRead);
  }
  m_nReading.fetch_sub(1);
  if (!ok) {
    block[0] = '\0';
    return 0;
  }
  // Past the end of the file the block reads as zero bytes.
  std::memset(block + got, 0, length - got + 1);
  return length;
}

std::size_t CFileReader::ReadText(const char* path, std::string& text, std::int64_t offset,
                                  std::size_t length, bool wholeFile) {
  char* block = nullptr;
  std::size_t n = ReadBlock(path, &block, offset, length, wholeFile);
  if (n > 0) {
    text.assign(block, n);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    n = text.size();
  } else {
    text.clear();
    std::string message = std::string("Error read file ") + (path != nullptr ? path : "");
    WriteErrorLog(message);
    SetLastMessage(std::move(message));
  }
  delete[] block;
  return n;
}

std::size_t ReadFileBlock(const char* path, char** buffer, std::int64_t offset,
                          std::size_t length, bool wholeFile) {
  CFileReader reader;
  return reader.ReadBlock(path, buffer, offset, length, wholeFile);
}

std::size_t ReadFileText(const char* path, std::string& text, std::int64_t offset,
                         std::size_t length, bool wholeFile) {
  CFileReader reader;
  return reader.ReadText(path, text, offset, length, wholeFile);
}

const char* ReadFileByID(const char* id, const char* baseDir, std::string& text) {
  text.clear();
  if (id == nullptr || *id == '\0') {
    WriteErrorLog("Read file by ID fail!");
    return nullptr;
  }
  const std::size_t id_length = std::strlen(id);
  const std::size_t groups = (id_length - 1) / 3;
  std::string path = baseDir != nullptr ? baseDir : "";
  for (std::size_t g = 0; g < groups; ++g) {
    path += platform::kPathSeparator;
    path.append(id + 3 * g, 3);
  }
  path += platform::kPathSeparator;
  path.append(id + 3 * groups);

  if (ReadFileText((path + ".txt").c_str(), text, 0, 0, true) > 0) return text.c_str();
  const std::string html = path + ".html";
  if (ReadFileText(html.c_str(), text, 0, 0, true) > 0) return text.c_str();
  WriteErrorLog("Read file by ID fail!");
  WriteErrorLog(html);
  return nullptr;
}

}  // namespace zhtext
