#include "convert/PeFace.h"

#include <algorithm>
#include <set>

#include "framework/core/IconFile.h"

namespace {

constexpr uint16_t DefaultLanguage = 0x0409;
constexpr uint16_t UnicodeCodePage = 1200;
constexpr size_t IconHeaderSize = 6, IconEntrySize = 16, GroupEntrySize = 14, FixedInfoSize = 52;
constexpr uint32_t FixedInfoSignature = 0xFEEF04BD;
constexpr int MaxVersionDepth = 8;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | uint32_t(Le16(p + 2)) << 16; }
void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) { out[at] = uint8_t(v), out[at + 1] = uint8_t(v >> 8); }
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) { Put16(out, at, v), Put16(out, at + 2, v >> 16); }
size_t Align4(size_t value) { return (value + 3) & ~size_t(3); }

// UTF-8 to UTF-16; a byte that starts no valid sequence stands for itself (Latin-1), so
// text in a single-byte code page still arrives readable.
std::u16string Utf16Of(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const uint8_t b = uint8_t(text[i]);
    const size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    uint32_t code = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      valid = (uint8_t(text[i + k]) >> 6) == 2;
      code = code << 6 | (uint8_t(text[i + k]) & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (!valid) code = b;
    if (code >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(code));
    }
    i += valid ? length : 1;
  }
  return out;
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8Of(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (code >= 0xD800 && code <= 0xDFFF)
      code = 0xFFFD;
    if (code < 0x80) {
      out += char(code);
    } else if (code < 0x800) {
      out += char(0xC0 | code >> 6), out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += char(0xE0 | code >> 12), out += char(0x80 | ((code >> 6) & 0x3F)), out += char(0x80 | (code & 0x3F));
    } else {
      out += char(0xF0 | code >> 18), out += char(0x80 | ((code >> 12) & 0x3F));
      out += char(0x80 | ((code >> 6) & 0x3F)), out += char(0x80 | (code & 0x3F));
    }
  }
  return out;
}

bool IsType(const TPeResource& r, uint16_t type) { return !r.type.named && r.type.id == type; }

// The first resource of TYPE in directory order, whatever the order of RESOURCES.
template <class Resources>
auto FirstOfType(Resources& resources, uint16_t type) -> decltype(&resources[0]) {
  decltype(&resources[0]) first = nullptr;
  for (auto& r : resources)
    if (IsType(r, type) && (!first || r.name < first->name || (r.name == first->name && r.language < first->language)))
      first = &r;
  return first;
}

// The RT_ICON numbers a group names; a group cut short names the images it holds whole.
std::vector<uint16_t> GroupImageIds(const std::vector<uint8_t>& group) {
  std::vector<uint16_t> ids;
  if (group.size() < IconHeaderSize) return ids;
  const size_t count = std::min<size_t>(Le16(&group[4]), (group.size() - IconHeaderSize) / GroupEntrySize);
  for (size_t i = 0; i < count; ++i) ids.push_back(Le16(&group[IconHeaderSize + GroupEntrySize * i + 12]));
  return ids;
}

// ---- version information blocks ----

struct TVersionNode {
  std::u16string key;
  uint16_t type = 1;
  std::vector<uint8_t> value;
  std::vector<TVersionNode> children;

  TVersionNode* Child(const std::u16string& name) {
    for (TVersionNode& c : children)
      if (c.key == name) return &c;
    return nullptr;
  }
};

// Reads the block at AT, which must end by END (offsets within DATA, aligned from its start).
TVersionNode ParseNode(const std::vector<uint8_t>& data, size_t at, size_t end, int depth) {
  if (depth > MaxVersionDepth) throw EPeFormat("version information nests too deep");
  if (end - at < 6) throw EPeFormat("a version block is cut short");
  const size_t length = Le16(&data[at]), valueLength = Le16(&data[at + 2]);
  TVersionNode node;
  node.type = Le16(&data[at + 4]);
  if (length < 6 || length > end - at) throw EPeFormat("a version block's length is out of range");
  const size_t nodeEnd = at + length;
  size_t pos = at + 6;
  for (;; pos += 2) {
    if (nodeEnd - pos < 2) throw EPeFormat("a version block's key has no end");
    const char16_t c = char16_t(Le16(&data[pos]));
    if (!c) break;
    node.key.push_back(c);
  }
  pos = std::min(Align4(pos + 2), nodeEnd);
  // Writers disagree on the unit of text values: take what the block holds, at most.
  const size_t valueBytes = std::min(node.type == 1 ? valueLength * 2 : valueLength, nodeEnd - pos);
  node.value.assign(data.begin() + long(pos), data.begin() + long(pos + valueBytes));
  for (pos = std::min(Align4(pos + valueBytes), nodeEnd); nodeEnd - pos >= 6;) {
    node.children.push_back(ParseNode(data, pos, nodeEnd, depth + 1));
    pos = std::min(Align4(pos + Le16(&data[pos])), nodeEnd);
  }
  return node;
}

void WriteNode(const TVersionNode& node, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.resize(start + 6);
  for (char16_t c : node.key + u'\0') out.push_back(uint8_t(c)), out.push_back(uint8_t(c >> 8));
  out.resize(Align4(out.size()));
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const TVersionNode& child : node.children) {
    out.resize(Align4(out.size()));
    WriteNode(child, out);
  }
  Put16(out, start, uint32_t(out.size() - start));
  Put16(out, start + 2, uint32_t(node.type == 1 ? node.value.size() / 2 : node.value.size()));
  Put16(out, start + 4, node.type);
}

std::vector<uint8_t> TextValue(const std::string& utf8) {
  std::vector<uint8_t> bytes;
  for (char16_t c : Utf16Of(utf8) + u'\0') bytes.push_back(uint8_t(c)), bytes.push_back(uint8_t(c >> 8));
  return bytes;
}

std::string TextOf(const std::vector<uint8_t>& value) {
  std::u16string text;
  for (size_t i = 0; i + 1 < value.size(); i += 2) {
    const char16_t c = char16_t(Le16(&value[i]));
    if (!c) break;
    text.push_back(c);
  }
  return Utf8Of(text);
}

std::u16string HexKey(uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::u16string key;
  for (int shift = 28; shift >= 0; shift -= 4) key.push_back(char16_t(digits[(value >> shift) & 0xF]));
  return key;
}

std::vector<uint8_t> NewFixedInfo() {
  std::vector<uint8_t> fixed(FixedInfoSize, 0);
  Put32(fixed, 0, FixedInfoSignature);
  Put32(fixed, 4, 0x00010000);  // structure version 1.0
  Put32(fixed, 24, 0x3F);       // every flag is meaningful
  Put32(fixed, 32, 0x00040004);  // 32-bit Windows
  Put32(fixed, 36, 1);           // an application
  return fixed;
}

bool HasFixedInfo(const TVersionNode& root) {
  return root.value.size() >= FixedInfoSize && Le32(root.value.data()) == FixedInfoSignature;
}

void SetVersion(std::vector<uint8_t>& fixed, size_t at, const TFileVersion& v) {
  Put32(fixed, at, uint32_t(v.parts[0]) << 16 | v.parts[1]);
  Put32(fixed, at + 4, uint32_t(v.parts[2]) << 16 | v.parts[3]);
}

TFileVersion VersionAt(const std::vector<uint8_t>& fixed, size_t at) {
  const uint32_t high = Le32(&fixed[at]), low = Le32(&fixed[at + 4]);
  return {{uint16_t(high >> 16), uint16_t(high), uint16_t(low >> 16), uint16_t(low)}};
}

TVersionNode NewVersionInfo(uint16_t language) {
  TVersionNode root{u"VS_VERSION_INFO", 0, NewFixedInfo(), {}};
  TVersionNode translation{u"Translation", 0, std::vector<uint8_t>(4), {}};
  Put32(translation.value, 0, uint32_t(UnicodeCodePage) << 16 | language);
  root.children.push_back({u"VarFileInfo", 1, {}, {translation}});
  return root;
}

void SetString(TVersionNode& table, const std::string& key, const std::string& text) {
  const std::u16string name = Utf16Of(key);
  TVersionNode* entry = table.Child(name);
  if (!entry) entry = &table.children.emplace_back(TVersionNode{name, 1, {}, {}});
  entry->type = 1;
  entry->value = TextValue(text);
}

TVersionNode& StringTableOf(TVersionNode& root, uint16_t language) {
  TVersionNode* strings = root.Child(u"StringFileInfo");
  if (!strings) {
    // Before VarFileInfo, where every resource compiler puts it.
    root.children.insert(root.children.begin(), TVersionNode{u"StringFileInfo", 1, {}, {}});
    strings = &root.children.front();
  }
  if (strings->children.empty())
    strings->children.push_back({HexKey(uint32_t(language) << 16 | UnicodeCodePage), 1, {}, {}});
  return strings->children.front();
}

TVersionNode ParseVersionInfo(const std::vector<uint8_t>& data) {
  return ParseNode(data, 0, data.size(), 0);
}

}  // namespace

std::string TFileVersion::Text() const {
  return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
         std::to_string(parts[3]);
}

std::optional<TFileVersion> ParseFileVersion(const std::string& text) {
  TFileVersion version;
  size_t part = 0, digits = 0;
  uint32_t value = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : '.';
    if (c >= '0' && c <= '9') {
      value = value * 10 + uint32_t(c - '0');
      if (++digits > 5 || value > 0xFFFF) return std::nullopt;
      continue;
    }
    if (c != '.' || digits == 0 || part == 4) return std::nullopt;
    version.parts[part++] = uint16_t(value);
    value = 0, digits = 0;
  }
  if (part != 4) return std::nullopt;
  return version;
}

uint16_t ResourceLanguage(const std::vector<TPeResource>& resources) {
  if (const TPeResource* version = FirstOfType(resources, RtVersion)) return version->language;
  if (const TPeResource* group = FirstOfType(resources, RtGroupIcon)) return group->language;
  return DefaultLanguage;
}

void ReplaceMainIcon(std::vector<TPeResource>& resources, const std::vector<uint8_t>& icon) {
  const std::vector<TIconImageInfo> images = ReadIconDirectory(icon.data(), icon.size());
  const uint16_t language = ResourceLanguage(resources);
  const TPeResource* main = FirstOfType(resources, RtGroupIcon);
  const TResourceId groupName = main ? main->name : TResourceId::Number(1);
  std::set<uint16_t> dropped;
  for (const TPeResource& r : resources)
    if (IsType(r, RtGroupIcon) && r.name == groupName)
      for (uint16_t id : GroupImageIds(r.data)) dropped.insert(id);
  std::erase_if(resources, [&](const TPeResource& r) {
    return (IsType(r, RtGroupIcon) && r.name == groupName) || (IsType(r, RtIcon) && !r.name.named && dropped.count(r.name.id));
  });
  std::set<uint16_t> used;
  for (const TPeResource& r : resources)
    if (IsType(r, RtIcon) && !r.name.named) used.insert(r.name.id);

  TPeResource group{TResourceId::Number(RtGroupIcon), groupName, language, 0, {}};
  group.data.assign(icon.begin(), icon.begin() + IconHeaderSize);
  uint16_t next = 1;
  for (size_t i = 0; i < images.size(); ++i) {
    while (used.count(next)) ++next;
    if (next == 0) throw EInvalidIcon("Too many icon images");
    const uint8_t* entry = &icon[IconHeaderSize + IconEntrySize * i];
    group.data.insert(group.data.end(), entry, entry + 12);
    group.data.push_back(uint8_t(next)), group.data.push_back(uint8_t(next >> 8));
    const auto bits = icon.begin() + long(images[i].Offset);
    resources.push_back({TResourceId::Number(RtIcon), TResourceId::Number(next), language, 0,
                         std::vector<uint8_t>(bits, bits + long(images[i].Size))});
    used.insert(next);
  }
  resources.push_back(std::move(group));
}

void ApplyVersionInfo(std::vector<TPeResource>& resources, const TProjectorFace& face) {
  const uint16_t language = ResourceLanguage(resources);
  TPeResource* existing = FirstOfType(resources, RtVersion);
  TVersionNode root = existing ? ParseVersionInfo(existing->data) : NewVersionInfo(language);
  if (!HasFixedInfo(root)) root.value = NewFixedInfo();
  if (face.fileVersion) SetVersion(root.value, 8, *face.fileVersion);
  if (face.productVersion) SetVersion(root.value, 16, *face.productVersion);
  TVersionNode& table = StringTableOf(root, language);
  auto given = [&](const char* key) {
    return std::any_of(face.strings.begin(), face.strings.end(), [&](const auto& s) { return s.first == key; });
  };
  if (face.fileVersion && !given("FileVersion")) SetString(table, "FileVersion", face.fileVersion->Text());
  if (face.productVersion && !given("ProductVersion")) SetString(table, "ProductVersion", face.productVersion->Text());
  for (const auto& [key, text] : face.strings) SetString(table, key, text);
  std::vector<uint8_t> data;
  WriteNode(root, data);
  if (!existing)
    resources.push_back({TResourceId::Number(RtVersion), TResourceId::Number(1), language, 0, std::move(data)});
  else
    existing->data = std::move(data);
}

TPeFace ReadPeFace(const std::vector<TPeResource>& resources) {
  TPeFace face;
  if (const TPeResource* group = FirstOfType(resources, RtGroupIcon)) {
    const std::vector<uint8_t>& g = group->data;
    const size_t count = g.size() < IconHeaderSize ? 0 : std::min<size_t>(Le16(&g[4]), (g.size() - IconHeaderSize) / GroupEntrySize);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = &g[IconHeaderSize + GroupEntrySize * i];
      face.iconSizes.push_back(std::to_string(e[0] ? e[0] : 256) + "x" + std::to_string(e[1] ? e[1] : 256));
    }
  }
  const TPeResource* version = FirstOfType(resources, RtVersion);
  if (!version) return face;
  TVersionNode root = ParseVersionInfo(version->data);
  if (HasFixedInfo(root)) face.fileVersion = VersionAt(root.value, 8), face.productVersion = VersionAt(root.value, 16);
  if (TVersionNode* strings = root.Child(u"StringFileInfo"); strings && !strings->children.empty())
    for (const TVersionNode& s : strings->children.front().children) face.strings.push_back({Utf8Of(s.key), TextOf(s.value)});
  return face;
}
