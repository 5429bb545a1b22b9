#include "convert/PeResources.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "framework/core/Streams.h"

namespace {

constexpr int64_t DosHeaderSize = 64, CoffSize = 24, SectionHeaderSize = 40;
constexpr int64_t DirectoryHeaderSize = 16, DirectoryEntrySize = 8, DataEntrySize = 16;
constexpr uint32_t HighBit = 0x80000000u;
constexpr uint32_t ResourceDirectory = 2, CertificateDirectory = 4;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | uint32_t(Le16(p + 2)) << 16; }
void Put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { Put16(p, v), Put16(p + 2, v >> 16); }

// [OFFSET, OFFSET + LENGTH) lies inside SIZE bytes; no sum that could overflow.
bool FitsIn(uint64_t offset, uint64_t length, uint64_t size) { return offset <= size && length <= size - offset; }

uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) / alignment * alignment; }
bool PowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

std::vector<uint8_t> ReadAt(TStream& file, int64_t at, int64_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  file.SetPosition(at);
  file.ReadBuffer(bytes.data(), count);
  return bytes;
}

std::string Hex(uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  do text.insert(text.begin(), digits[value % 16]), value /= 16;
  while (value);
  return "0x" + text;
}

void ReadOptionalHeader(TPeImage& pe, const std::vector<uint8_t>& opt, int64_t optAt) {
  const uint16_t magic = Le16(opt.data());
  if (magic != 0x10B && magic != 0x20B) throw EPeFormat("unknown optional header magic " + Hex(magic));
  pe.wide = magic == 0x20B;
  const size_t directoriesAt = pe.wide ? 112 : 96;
  if (opt.size() < directoriesAt) throw EPeFormat("the optional header is too short");
  pe.sectionAlignment = Le32(&opt[32]);
  pe.fileAlignment = Le32(&opt[36]);
  pe.sizeOfImage = Le32(&opt[56]);
  pe.sizeOfHeaders = Le32(&opt[60]);
  pe.checksum = Le32(&opt[64]);
  pe.sizeOfImageAt = optAt + 56;
  pe.checksumAt = optAt + 64;
  pe.directoriesAt = optAt + int64_t(directoriesAt);
  // The loader reads no more directories than the header holds, whatever the count says.
  pe.directoryCount = std::min<uint32_t>(Le32(&opt[directoriesAt - 4]), uint32_t((opt.size() - directoriesAt) / 8));
  auto directory = [&](uint32_t index) {
    if (index >= pe.directoryCount) return TPeDataDirectory{};
    const uint8_t* p = &opt[directoriesAt + 8 * index];
    return TPeDataDirectory{Le32(p), Le32(p + 4)};
  };
  pe.resources = directory(ResourceDirectory);
  pe.certificates = directory(CertificateDirectory);
  if (!PowerOfTwo(pe.fileAlignment) || !PowerOfTwo(pe.sectionAlignment))
    throw EPeFormat("the section or file alignment is not a power of two");
}

void ReadSectionTable(TStream& file, TPeImage& pe, uint16_t count) {
  if (!FitsIn(uint64_t(pe.sectionTableAt), uint64_t(count) * SectionHeaderSize, uint64_t(pe.fileSize)))
    throw EPeFormat("the section table lies outside the file");
  const std::vector<uint8_t> table = ReadAt(file, pe.sectionTableAt, int64_t(count) * SectionHeaderSize);
  pe.imageEnd = std::max<int64_t>(pe.sectionTableAt + int64_t(table.size()), pe.sizeOfHeaders);
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* h = &table[size_t(i) * SectionHeaderSize];
    TPeSection s;
    s.name.assign(reinterpret_cast<const char*>(h), strnlen(reinterpret_cast<const char*>(h), 8));
    s.virtualSize = Le32(h + 8), s.virtualAddress = Le32(h + 12), s.rawSize = Le32(h + 16), s.rawPointer = Le32(h + 20);
    if (s.rawSize && !FitsIn(s.rawPointer, s.rawSize, uint64_t(pe.fileSize)))
      throw EPeFormat("section " + s.name + " lies outside the file");
    if (s.rawSize) pe.imageEnd = std::max<int64_t>(pe.imageEnd, int64_t(s.rawPointer) + s.rawSize);
    pe.sections.push_back(s);
  }
}

// Walks the resource tree held in TREE (the resource section from the directory's start).
class TResourceReader {
public:
  TResourceReader(TStream& file, const TPeImage& pe, std::vector<uint8_t> tree)
      : file_(file), pe_(pe), tree_(std::move(tree)) {}

  std::vector<TPeResource> Run() {
    Directory(0, 0, {});
    return std::move(resources_);
  }

private:
  void Need(uint64_t offset, uint64_t length, const char* what) const {
    if (!FitsIn(offset, length, tree_.size())) throw EPeFormat(std::string("a resource ") + what + " lies outside its section");
  }

  TResourceId IdOf(uint32_t field) const {
    if (!(field & HighBit)) {
      if (field > 0xFFFF) throw EPeFormat("a resource number is larger than 65535");
      return TResourceId::Number(uint16_t(field));
    }
    const uint32_t at = field & ~HighBit;
    Need(at, 2, "name");
    const uint32_t length = Le16(&tree_[at]);
    Need(at + 2, uint64_t(length) * 2, "name");
    TResourceId id{true, 0, {}};
    for (uint32_t i = 0; i < length; ++i) id.name.push_back(char16_t(Le16(&tree_[at + 2 + 2 * i])));
    return id;
  }

  // LEVEL 0: types, 1: names, 2: languages. PATH holds the type and name found so far.
  void Directory(uint32_t offset, int level, const TPeResource& path) {
    if (!seen_.insert(offset).second) throw EPeFormat("resource directories are shared or form a loop");
    Need(offset, DirectoryHeaderSize, "directory");
    const uint32_t count = uint32_t(Le16(&tree_[offset + 12])) + Le16(&tree_[offset + 14]);
    Need(offset + DirectoryHeaderSize, uint64_t(count) * DirectoryEntrySize, "directory");
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* entry = &tree_[offset + DirectoryHeaderSize + i * DirectoryEntrySize];
      const uint32_t target = Le32(entry + 4);
      TPeResource next = {path.type, path.name, 0, 0, {}};
      const TResourceId id = IdOf(Le32(entry));
      if (level < 2) {
        if (!(target & HighBit)) throw EPeFormat("a resource type or name leads to data instead of a directory");
        (level == 0 ? next.type : next.name) = id;
        Directory(target & ~HighBit, level + 1, next);
        continue;
      }
      if (target & HighBit) throw EPeFormat("a resource language leads to a fourth level");
      if (id.named) throw EPeFormat("a resource language is named");
      next.language = id.id;
      Data(target, next);
    }
  }

  void Data(uint32_t offset, TPeResource& resource) {
    Need(offset, DataEntrySize, "data entry");
    const uint32_t rva = Le32(&tree_[offset]), size = Le32(&tree_[offset + 4]);
    resource.codePage = Le32(&tree_[offset + 8]);
    const int64_t at = pe_.FileOffsetOf(rva, size);
    // Data entries may be shared; what they add up to is bounded by the file all the same.
    dataTotal_ += size;
    if (at < 0 || dataTotal_ > uint64_t(pe_.fileSize)) throw EPeFormat("resource data lies outside the file");
    resource.data = ReadAt(file_, at, size);
    resources_.push_back(std::move(resource));
  }

  TStream& file_;
  const TPeImage& pe_;
  const std::vector<uint8_t> tree_;
  std::set<uint32_t> seen_;
  uint64_t dataTotal_ = 0;
  std::vector<TPeResource> resources_;
};

// A resource section being laid out: directories, data entries, names, then the data.
class TResourceWriter {
public:
  TResourceWriter(const std::vector<TPeResource>& resources, uint32_t rva) : rva_(rva) {
    for (const TPeResource& r : resources) sorted_.push_back(&r);
    std::stable_sort(sorted_.begin(), sorted_.end(), [](const TPeResource* a, const TPeResource* b) {
      if (!(a->type == b->type)) return a->type < b->type;
      if (!(a->name == b->name)) return a->name < b->name;
      return a->language < b->language;
    });
  }

  std::vector<uint8_t> Run() {
    const std::vector<size_t> types = Runs(0, sorted_.size(), &TPeResource::type);
    std::vector<std::vector<size_t>> names;  // per type
    for (size_t t = 0; t + 1 < types.size(); ++t) names.push_back(Runs(types[t], types[t + 1], &TPeResource::name));
    // Every directory and data entry comes before the names and the data: the root, the
    // type directories, the name directories, then the data entries.
    uint32_t at = DirectorySize(types.size() - 1);
    std::vector<uint32_t> typeAt, nameAt;
    for (const std::vector<size_t>& n : names) typeAt.push_back(at), at += DirectorySize(n.size() - 1);
    for (const std::vector<size_t>& n : names)
      for (size_t i = 0; i + 1 < n.size(); ++i) nameAt.push_back(at), at += DirectorySize(n[i + 1] - n[i]);
    dataEntriesAt_ = at;
    names_.resize(at + DataEntrySize * sorted_.size());
    Header(0, types, &TPeResource::type);
    size_t nameDir = 0, dataIndex = 0;
    for (size_t t = 0; t < names.size(); ++t) {
      Entry(0, t, Name(sorted_[types[t]]->type), HighBit | typeAt[t]);
      Header(typeAt[t], names[t], &TPeResource::name);
      for (size_t n = 0; n + 1 < names[t].size(); ++n, ++nameDir) {
        Entry(typeAt[t], n, Name(sorted_[names[t][n]]->name), HighBit | nameAt[nameDir]);
        LanguageDirectory(nameAt[nameDir], names[t][n], names[t][n + 1], dataIndex);
      }
    }
    return Finish();
  }

private:
  using Field = TResourceId TPeResource::*;

  static uint32_t DirectorySize(size_t entries) { return uint32_t(DirectoryHeaderSize + DirectoryEntrySize * entries); }

  // The starts of the runs of equal FIELD in [BEGIN, END), and END.
  std::vector<size_t> Runs(size_t begin, size_t end, Field field) const {
    std::vector<size_t> starts;
    for (size_t i = begin; i < end; ++i)
      if (i == begin || !(sorted_[i]->*field == sorted_[i - 1]->*field)) starts.push_back(i);
    starts.push_back(end);
    return starts;
  }

  void Header(uint32_t at, const std::vector<size_t>& runs, Field field) {
    uint32_t named = 0;
    for (size_t i = 0; i + 1 < runs.size(); ++i) named += (sorted_[runs[i]]->*field).named;
    Put16(&names_[at + 12], named);
    Put16(&names_[at + 14], uint32_t(runs.size() - 1) - named);
  }

  void Entry(uint32_t directory, size_t index, uint32_t name, uint32_t target) {
    uint8_t* p = &names_[directory + DirectoryHeaderSize + DirectoryEntrySize * index];
    Put32(p, name);
    Put32(p + 4, target);
  }

  void LanguageDirectory(uint32_t at, size_t begin, size_t end, size_t& dataIndex) {
    Put16(&names_[at + 14], uint32_t(end - begin));
    for (size_t i = begin; i < end; ++i, ++dataIndex)
      Entry(at, i - begin, sorted_[i]->language, dataEntriesAt_ + uint32_t(DataEntrySize * dataIndex));
  }

  // The name field of ID: the number, or the offset of its text appended to the names.
  uint32_t Name(const TResourceId& id) {
    if (!id.named) return id.id;
    const uint32_t at = uint32_t(names_.size());
    names_.resize(at + 2 + 2 * id.name.size());
    Put16(&names_[at], uint32_t(id.name.size()));
    for (size_t i = 0; i < id.name.size(); ++i) Put16(&names_[at + 2 + 2 * i], id.name[i]);
    return HighBit | at;
  }

  std::vector<uint8_t> Finish() {
    std::vector<uint8_t> section = std::move(names_);
    for (size_t i = 0; i < sorted_.size(); ++i) {
      section.resize(AlignUp(section.size(), 8));
      uint8_t* entry = &section[dataEntriesAt_ + DataEntrySize * i];
      Put32(entry, rva_ + uint32_t(section.size()));
      Put32(entry + 4, uint32_t(sorted_[i]->data.size()));
      Put32(entry + 8, sorted_[i]->codePage);
      section.insert(section.end(), sorted_[i]->data.begin(), sorted_[i]->data.end());
    }
    return section;
  }

  const uint32_t rva_;
  std::vector<const TPeResource*> sorted_;
  uint32_t dataEntriesAt_ = 0;
  std::vector<uint8_t> names_;  // the directories and data entries, then the names
};

// What WritePeWithResources writes, and where.
struct TRewritePlan {
  int section = -1;       // the entry of the section table to fill
  bool append = false;
  uint32_t rva = 0, rawPointer = 0;
  int64_t headerEnd = 0;  // the bytes up to here are patched in memory
  int64_t copyEnd = 0;    // the stub's bytes up to here come before the new section
  int64_t overlayAt = 0;  // the stub's bytes from here on follow it
};

bool IsLastSection(const TPeImage& pe, int index) {
  const TPeSection& s = pe.sections[size_t(index)];
  if (s.rawSize == 0 || pe.resources.address != s.virtualAddress) return false;
  for (size_t i = 0; i < pe.sections.size(); ++i) {
    const TPeSection& o = pe.sections[i];
    if (int(i) == index) continue;
    if (o.virtualAddress >= s.virtualAddress) return false;
    if (o.rawSize && uint64_t(o.rawPointer) + o.rawSize > s.rawPointer) return false;
  }
  return true;
}

TRewritePlan PlanAppend(TStream& file, const TPeImage& pe, const char* why) {
  TRewritePlan plan;
  plan.append = true;
  plan.section = int(pe.sections.size());
  plan.headerEnd = pe.sectionTableAt + SectionHeaderSize * int64_t(pe.sections.size() + 1);
  int64_t firstRaw = pe.sizeOfHeaders;
  uint64_t virtualEnd = AlignUp(pe.sizeOfHeaders, pe.sectionAlignment);
  for (const TPeSection& s : pe.sections) {
    if (s.rawSize) firstRaw = std::min<int64_t>(firstRaw, s.rawPointer);
    virtualEnd = std::max<uint64_t>(virtualEnd, uint64_t(s.virtualAddress) + std::max(s.virtualSize, s.rawSize));
  }
  const std::string refusal = std::string(why) + " and the header has no room for another section";
  if (pe.sections.size() >= 0xFFFF || plan.headerEnd > firstRaw) throw EPeFormat(refusal);
  // The room after the table may hold other data (bound imports): it must be unused.
  const std::vector<uint8_t> room = ReadAt(file, plan.headerEnd - SectionHeaderSize, SectionHeaderSize);
  if (std::any_of(room.begin(), room.end(), [](uint8_t b) { return b != 0; })) throw EPeFormat(refusal);
  plan.rva = uint32_t(AlignUp(virtualEnd, pe.sectionAlignment));
  plan.copyEnd = pe.imageEnd;
  plan.overlayAt = pe.imageEnd;
  plan.rawPointer = uint32_t(AlignUp(uint64_t(pe.imageEnd), pe.fileAlignment));
  if (AlignUp(virtualEnd, pe.sectionAlignment) > 0xFFFFFFFFu || AlignUp(uint64_t(pe.imageEnd), pe.fileAlignment) > 0xFFFFFFFFu)
    throw EPeFormat("the image is too large for another section");
  return plan;
}

TRewritePlan Plan(TStream& file, const TPeImage& pe) {
  if (pe.directoryCount <= ResourceDirectory) throw EPeFormat("the header has no entry for a resource directory");
  // The format allows 512 bytes to 64 KiB; more would pad the new section without end.
  if (pe.fileAlignment > 0x10000) throw EPeFormat("the file alignment is larger than 64 KiB");
  const int index = pe.ResourceSection();
  if (index < 0) return PlanAppend(file, pe, "the program has no resource section");
  if (!IsLastSection(pe, index))
    return PlanAppend(file, pe, "the resource section is not the last one, or holds more than the resources,");
  const TPeSection& s = pe.sections[size_t(index)];
  TRewritePlan plan;
  plan.section = index;
  plan.rva = s.virtualAddress;
  plan.rawPointer = s.rawPointer;
  plan.headerEnd = pe.sectionTableAt + SectionHeaderSize * int64_t(pe.sections.size());
  plan.copyEnd = s.rawPointer;
  plan.overlayAt = int64_t(s.rawPointer) + s.rawSize;
  if (plan.headerEnd > plan.copyEnd) throw EPeFormat("the resource section overlaps the headers");
  return plan;
}

// The raw size of a new section of SIZE bytes: aligned, and padded so that the program keeps
// its length modulo 64 KiB where the file alignment allows. Data appended to it (a movie)
// then lies where it would after the original relative to the page cache's large pages: a
// kernel copy to an offset off that grid was measured a fifth slower.
uint64_t PaddedRawSize(const TPeImage& pe, const TRewritePlan& plan, uint64_t size) {
  constexpr uint64_t Page = 0x10000;
  const uint64_t raw = AlignUp(size, pe.fileAlignment);
  const uint64_t rest = uint64_t(pe.fileSize - plan.overlayAt) - pe.certificates.size;
  const uint64_t length = plan.rawPointer + raw + rest;
  const uint64_t pad = (uint64_t(pe.fileSize) % Page + Page - length % Page) % Page;
  return pad % pe.fileAlignment == 0 ? raw + pad : raw;
}

// Writes bytes to OUT and to the checksum.
void Emit(TStream& out, TPeChecksum& sum, const uint8_t* bytes, size_t count) {
  sum.Add(bytes, count);
  out.WriteBuffer(bytes, int64_t(count));
}

void EmitZeros(TStream& out, TPeChecksum& sum, uint64_t count) {
  const std::vector<uint8_t> zeros(size_t(std::min<uint64_t>(count, TStream::MaxBufferSize)));
  for (uint64_t left = count; left > 0;) {
    const size_t n = size_t(std::min<uint64_t>(left, zeros.size()));
    Emit(out, sum, zeros.data(), n);
    left -= n;
  }
}

void EmitRange(TStream& out, TPeChecksum& sum, TStream& file, int64_t at, int64_t count) {
  if (count <= 0) return;
  std::vector<uint8_t> buffer(size_t(std::min<int64_t>(count, TStream::MaxBufferSize)));
  file.SetPosition(at);
  for (int64_t left = count; left > 0;) {
    const int64_t n = std::min<int64_t>(left, int64_t(buffer.size()));
    file.ReadBuffer(buffer.data(), n);
    Emit(out, sum, buffer.data(), size_t(n));
    left -= n;
  }
}

}  // namespace

bool TResourceId::operator<(const TResourceId& other) const {
  if (named != other.named) return named;
  return named ? name < other.name : id < other.id;
}

int64_t TPeImage::FileOffsetOf(uint32_t rva, uint32_t length) const {
  for (const TPeSection& s : sections) {
    if (rva < s.virtualAddress) continue;
    const uint64_t within = uint64_t(rva) - s.virtualAddress;
    if (FitsIn(within, length, s.rawSize)) return int64_t(s.rawPointer + within);
  }
  return -1;
}

int TPeImage::ResourceSection() const {
  if (resources.address == 0 || resources.size == 0) return -1;
  for (size_t i = 0; i < sections.size(); ++i) {
    const TPeSection& s = sections[i];
    if (resources.address >= s.virtualAddress &&
        resources.address - s.virtualAddress < std::max(s.virtualSize, s.rawSize))
      return int(i);
  }
  throw EPeFormat("the resource directory lies in no section");
}

TPeImage ReadPeImage(TStream& file) {
  TPeImage pe;
  pe.fileSize = file.Size();
  if (pe.fileSize < DosHeaderSize) throw EPeFormat("too short for an MZ header");
  const std::vector<uint8_t> dos = ReadAt(file, 0, DosHeaderSize);
  if (dos[0] != 'M' || dos[1] != 'Z') throw EPeFormat("no MZ header");
  const uint32_t peAt = Le32(&dos[0x3C]);
  if (!FitsIn(peAt, CoffSize, uint64_t(pe.fileSize))) throw EPeFormat("the PE header lies outside the file");
  const std::vector<uint8_t> coff = ReadAt(file, peAt, CoffSize);
  if (std::memcmp(coff.data(), "PE\0\0", 4) != 0) throw EPeFormat("no PE signature");
  const uint16_t sectionCount = Le16(&coff[6]), optionalSize = Le16(&coff[20]);
  const int64_t optAt = int64_t(peAt) + CoffSize;
  if (optionalSize < 2 || !FitsIn(uint64_t(optAt), optionalSize, uint64_t(pe.fileSize)))
    throw EPeFormat("the optional header lies outside the file");
  pe.sectionCountAt = int64_t(peAt) + 6;
  ReadOptionalHeader(pe, ReadAt(file, optAt, optionalSize), optAt);
  if (pe.sizeOfHeaders > pe.fileSize) throw EPeFormat("the headers are larger than the file");
  pe.sectionTableAt = optAt + optionalSize;
  ReadSectionTable(file, pe, sectionCount);
  if (pe.certificates.size && !FitsIn(pe.certificates.address, pe.certificates.size, uint64_t(pe.fileSize)))
    throw EPeFormat("the certificate table lies outside the file");
  return pe;
}

std::vector<TPeResource> ReadPeResources(TStream& file, const TPeImage& image) {
  const int index = image.ResourceSection();
  if (index < 0) return {};
  const TPeSection& s = image.sections[size_t(index)];
  const uint64_t within = image.resources.address - s.virtualAddress;
  if (within >= s.rawSize) throw EPeFormat("the resource directory lies outside the file");
  std::vector<uint8_t> tree = ReadAt(file, int64_t(s.rawPointer + within), int64_t(s.rawSize - within));
  return TResourceReader(file, image, std::move(tree)).Run();
}

std::vector<uint8_t> BuildResourceSection(const std::vector<TPeResource>& resources, uint32_t rva) {
  return TResourceWriter(resources, rva).Run();
}

TPeRewriteOutcome WritePeWithResources(TStream& file, const TPeImage& image, const std::vector<TPeResource>& resources,
                                       TStream& out) {
  const TRewritePlan plan = Plan(file, image);
  TPeRewriteOutcome outcome;
  outcome.sectionAdded = plan.append;
  const TPeDataDirectory certificates = image.certificates;
  if (certificates.size && certificates.address < plan.overlayAt)
    throw EPeFormat("the certificate table lies inside the image");
  outcome.signatureDropped = certificates.size != 0;

  const std::vector<uint8_t> section = BuildResourceSection(resources, plan.rva);
  const uint64_t rawSize = PaddedRawSize(image, plan, section.size());
  const uint64_t virtualSize = rawSize > AlignUp(section.size(), image.fileAlignment) ? rawSize : section.size();
  if (plan.rawPointer + rawSize > 0xFFFFFFFFu || plan.rva + AlignUp(virtualSize, image.sectionAlignment) > 0xFFFFFFFFu)
    throw EPeFormat("the new resources do not fit a 32-bit image");
  std::vector<uint8_t> header = ReadAt(file, 0, plan.headerEnd);
  uint8_t* entry = &header[size_t(image.sectionTableAt + SectionHeaderSize * plan.section)];
  if (plan.append) {
    std::memcpy(entry, ".rsrc\0\0", 8);
    Put32(entry + 36, 0x40000040);  // initialized data, readable
    Put16(&header[size_t(image.sectionCountAt)], uint32_t(image.sections.size() + 1));
  }
  Put32(entry + 8, uint32_t(virtualSize));
  Put32(entry + 12, plan.rva);
  Put32(entry + 16, uint32_t(rawSize));
  Put32(entry + 20, plan.rawPointer);
  Put32(&header[size_t(image.sizeOfImageAt)], uint32_t(AlignUp(plan.rva + virtualSize, image.sectionAlignment)));
  Put32(&header[size_t(image.directoriesAt + 8 * ResourceDirectory)], plan.rva);
  Put32(&header[size_t(image.directoriesAt + 8 * ResourceDirectory + 4)], uint32_t(section.size()));
  if (image.directoryCount > CertificateDirectory)
    std::memset(&header[size_t(image.directoriesAt + 8 * CertificateDirectory)], 0, 8);
  Put32(&header[size_t(image.checksumAt)], 0);

  const int64_t start = out.Position();
  TPeChecksum sum;
  Emit(out, sum, header.data(), header.size());
  EmitRange(out, sum, file, plan.headerEnd, plan.copyEnd - plan.headerEnd);
  EmitZeros(out, sum, plan.rawPointer - uint64_t(plan.copyEnd));
  Emit(out, sum, section.data(), section.size());
  EmitZeros(out, sum, rawSize - section.size());
  const int64_t certificateAt = certificates.size ? int64_t(certificates.address) : image.fileSize;
  EmitRange(out, sum, file, plan.overlayAt, certificateAt - plan.overlayAt);
  if (certificates.size) {
    const int64_t after = int64_t(certificates.address) + certificates.size;
    EmitRange(out, sum, file, after, image.fileSize - after);
  }
  const int64_t end = out.Position();
  uint8_t value[4];
  Put32(value, sum.Value());
  out.SetPosition(start + image.checksumAt);
  out.WriteBuffer(value, 4);
  out.SetPosition(end);
  return outcome;
}

void TPeChecksum::Add(const uint8_t* bytes, size_t count) {
  length_ += count;
  size_t i = 0;
  if (pending_ >= 0 && count > 0) sum_ += uint64_t(pending_) | uint64_t(bytes[i++]) << 8, pending_ = -1;
  for (; i + 1 < count; i += 2) sum_ += uint64_t(bytes[i]) | uint64_t(bytes[i + 1]) << 8;
  if (i < count) pending_ = bytes[i];
}

uint32_t TPeChecksum::Value() const {
  uint64_t sum = sum_ + (pending_ >= 0 ? uint64_t(pending_) : 0);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return uint32_t(sum) + uint32_t(length_);
}
