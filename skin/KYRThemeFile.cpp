#include "skin/KYRThemeFile.h"

#include "framework/core/StrUtils.h"

#include <cstring>
#include <map>
#include <set>

namespace {

// The characters of FIELD up to its first NUL (all of them when there is none).
std::string CutAtNul(const uint8_t* field, size_t size) {
  const void* nul = std::memchr(field, 0, size);
  const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - field) : size;
  return std::string(reinterpret_cast<const char*>(field), length);
}

// The value part of the first "name=value" line of LINES whose name part is KEY; false
// when there is none. The name part ends at the line's first "=".
bool FindValue(const std::vector<std::string>& lines, const std::string& key, std::string& value) {
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && SameText(line.substr(0, eq), key)) {
      value = line.substr(eq + 1);
      return true;
    }
  }
  return false;
}

struct EntryRecord {
  std::string Name;
  uint8_t Kind;
  uint32_t DataOffset, DataLength, Next;
};

}  // namespace

bool IsValidThemeFile(const std::string& fileName) {
  if (!FileExists(fileName)) return false;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    uint8_t head[16] = {};
    if (file.Read(head, sizeof head) < 12) return false;  // the magic field is 12 bytes
    return CutAtNul(head, 12) == KYR_THEME_FILE_MAGIC;
  } catch (const std::exception&) {
    return false;
  }
}

// Reads one file into a reader, checking every range against the file's size before it
// reads or allocates anything.
class TkyrThemeFileReader::Loader {
public:
  Loader(TkyrThemeFileReader& reader, TStream& source, const std::string& fileName)
      : reader_(reader), fileName_(fileName), file_(source), size_(source.Size()) {}

  void Run() {
    uint32_t offset = ReadHeader();
    std::set<uint32_t> visited;
    for (;;) {
      if (!visited.insert(offset).second)
        Refuse("its record chain returns to the record at offset " + std::to_string(offset));
      const EntryRecord record = ReadRecord(offset);
      if (record.Next == 0) break;  // the terminator carries no entry
      LoadEntry(record);
      offset = record.Next;
    }
  }

private:
  [[noreturn]] void Refuse(const std::string& fault) const {
    throw EkyrThemeFileError("Theme file " + fileName_ + " cannot be read safely: " + fault);
  }

  bool Inside(uint64_t offset, uint64_t length) const {
    return offset <= static_cast<uint64_t>(size_) && length <= static_cast<uint64_t>(size_) - offset;
  }

  void ReadAt(uint64_t offset, void* buffer, uint32_t count) {
    file_.SetPosition(static_cast<int64_t>(offset));
    file_.ReadBuffer(buffer, count);
  }

  // Returns the offset of the first record.
  uint32_t ReadHeader() {
    if (!Inside(0, KYR_THEME_HEADER_SIZE))
      Refuse("it is too short for a theme file header (" + std::to_string(size_) + " bytes)");
    uint8_t header[KYR_THEME_HEADER_SIZE];
    ReadAt(0, header, sizeof header);
    const uint32_t headerSize = LoadUInt32LE(header + 12);
    if (headerSize != KYR_THEME_HEADER_SIZE)
      Refuse("its header size is " + std::to_string(headerSize) + ", not 24");
    return LoadUInt32LE(header + 20);
  }

  EntryRecord ReadRecord(uint32_t offset) {
    if (!Inside(offset, KYR_THEME_RECORD_SIZE))
      Refuse("its record at offset " + std::to_string(offset) + " lies beyond the end of the file (" +
             std::to_string(size_) + " bytes)");
    uint8_t raw[KYR_THEME_RECORD_SIZE];
    ReadAt(offset, raw, sizeof raw);
    const uint8_t* p = raw + KYR_THEME_NAME_SIZE;
    return {CutAtNul(raw, KYR_THEME_NAME_SIZE), p[0], LoadUInt32LE(p + 1), LoadUInt32LE(p + 5), LoadUInt32LE(p + 9)};
  }

  // The entry's data, once its range is known to lie inside the file. KEPT data stays in
  // memory and counts against the file's size: entries pointing at overlapping bytes could
  // otherwise make a small file claim any amount of memory.
  std::vector<uint8_t> ReadData(const EntryRecord& record, bool kept) {
    if (!Inside(record.DataOffset, record.DataLength)) {
      if (record.Kind == kyrEntryImage) throw EReadError();  // as a stream copy past the end fails
      Refuse("the data of entry \"" + record.Name + "\" (offset " + std::to_string(record.DataOffset) + ", " +
             std::to_string(record.DataLength) + " bytes) lies beyond the end of the file");
    }
    if (kept) {
      kept_ += record.DataLength;
      if (kept_ > static_cast<uint64_t>(size_)) Refuse("its entries claim more data than the file holds");
    }
    std::vector<uint8_t> data(record.DataLength);
    if (!data.empty()) ReadAt(record.DataOffset, data.data(), record.DataLength);
    return data;
  }

  // Image entries whose data is the same range of the file (two elements drawn with one
  // bitmap) share one stream, read and counted once.
  TMemoryStream* ImageData(const EntryRecord& record) {
    TMemoryStream*& shared = images_[{record.DataOffset, record.DataLength}];
    if (!shared) {
      reader_.imageData_.push_back(std::make_unique<TMemoryStream>(ReadData(record, true)));
      shared = reader_.imageData_.back().get();
    }
    return shared;
  }

  void RequireLength(const EntryRecord& record, uint32_t length, const char* what) const {
    if (record.DataLength != length)
      Refuse("entry \"" + record.Name + "\" is " + what + " of " + std::to_string(record.DataLength) +
             " bytes, not " + std::to_string(length));
  }

  // Integers and booleans are kept as their decimal text only; texts are kept as stored.
  void LoadEntry(const EntryRecord& record) {
    switch (record.Kind) {
      case kyrEntryImage: return AddImage(record.Name, ImageData(record));
      case kyrEntryInteger: {
        RequireLength(record, 4, "an integer");
        const std::vector<uint8_t> data = ReadData(record, false);
        return AddLine(reader_.integers_, record, std::to_string(static_cast<int32_t>(LoadUInt32LE(data.data()))));
      }
      case kyrEntryBoolean:
        RequireLength(record, 1, "a boolean");
        return AddLine(reader_.booleans_, record, std::to_string(ReadData(record, false)[0]));
      case kyrEntryText: {
        const std::vector<uint8_t> data = ReadData(record, true);
        return AddLine(reader_.texts_, record, std::string(data.begin(), data.end()));
      }
      default: return;  // kinds this system does not know are skipped
    }
  }

  void AddImage(const std::string& name, TMemoryStream* stream) {
    reader_.entries_.push_back({kyrEntryImage, name, "", stream});
    reader_.images_.emplace_back(name, stream);
  }

  void AddLine(std::vector<std::string>& lines, const EntryRecord& record, const std::string& value) {
    lines.push_back(record.Name + "=" + value);
    reader_.entries_.push_back({static_cast<TkyrThemeEntryKind>(record.Kind), record.Name, value, nullptr});
  }

  TkyrThemeFileReader& reader_;
  const std::string& fileName_;
  TStream& file_;
  const int64_t size_;
  uint64_t kept_ = 0;
  std::map<std::pair<uint32_t, uint32_t>, TMemoryStream*> images_;  // by data offset and length
};

TkyrThemeFileReader::TkyrThemeFileReader(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  Loader(*this, file, fileName).Run();
}

TkyrThemeFileReader::TkyrThemeFileReader(TStream& source, const std::string& name) {
  Loader(*this, source, name).Run();
}

TkyrThemeFileReader::~TkyrThemeFileReader() = default;

TStream* TkyrThemeFileReader::GetStream(const std::string& key) const {
  for (const auto& [name, stream] : images_) {
    if (SameText(name, key)) {
      stream->SetPosition(0);
      return stream;
    }
  }
  return nullptr;
}

int32_t TkyrThemeFileReader::GetInteger(const std::string& key) const {
  std::string text;
  int32_t value = -1;
  return FindValue(integers_, key, text) && TryStrToInt32(text, value) ? value : -1;
}

bool TkyrThemeFileReader::GetBool(const std::string& key) const {
  std::string text;
  int32_t value = 0;
  return FindValue(booleans_, key, text) && TryStrToInt32(text, value) && value != 0;
}
