// The PE resource reader and writer on hand-made programs of both widths and on the test
// program itself.
#include "convert/PeResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"
#include "tests/convert/PeTestImages.h"
#include "tests/support/ExecutableImages.h"

namespace {

using namespace pe_test;

TPeResource Resource(TResourceId type, TResourceId name, uint16_t language, const std::string& text) {
  return {std::move(type), std::move(name), language, 0, Bytes(text.begin(), text.end())};
}
TResourceId Named(const std::u16string& name) { return {true, 0, name}; }

const TPeResource Payload = Resource(TResourceId::Number(10), TResourceId::Number(7), 0x409, "payload");

std::vector<TPeResource> ResourcesOf(const Bytes& file) {
  TMemoryStream stream(file);
  return ReadPeResources(stream, ReadPeImage(stream));
}

TPeImage ImageOf(const Bytes& file) {
  TMemoryStream stream(file);
  return ReadPeImage(stream);
}

struct TRewrite {
  Bytes file;
  TPeRewriteOutcome outcome;
};
TRewrite Rewrite(const Bytes& input, const std::vector<TPeResource>& resources) {
  TMemoryStream in(input), out;
  TRewrite result;
  result.outcome = WritePeWithResources(in, ReadPeImage(in), resources, out);
  result.file = out.Bytes();
  return result;
}

bool SameResource(const TPeResource& a, const TPeResource& b) {
  return a.type == b.type && a.name == b.name && a.language == b.language && a.data == b.data;
}

TEST(PeResources, ReadsTheHeadersAndResourcesOfHandMadePrograms) {
  for (int bits : {32, 64}) {
    SCOPED_TRACE(bits);
    const Bytes file = PeBytes(SmallPeShape(bits, true));
    const TPeImage pe = ImageOf(file);
    EXPECT_EQ(pe.wide, bits == 64);
    ASSERT_EQ(pe.sections.size(), 2u);
    EXPECT_EQ(pe.sections[1].name, ".rsrc");
    EXPECT_EQ(pe.sections[1].rawPointer, 0x400u);
    EXPECT_EQ(pe.resources.address, 0x2000u);
    EXPECT_EQ(pe.imageEnd, 0x600);
    EXPECT_EQ(pe.FileOffsetOf(0x2010, 4), 0x410);
    EXPECT_EQ(pe.FileOffsetOf(0x21FE, 4), -1);  // runs past the raw data
    const std::vector<TPeResource> resources = ResourcesOf(file);
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_TRUE(SameResource(resources[0], Payload));
    EXPECT_TRUE(ResourcesOf(PeBytes(SmallPeShape(bits, false))).empty());
  }
}

TEST(PeResources, TheTestProgramItselfIsReadAsWhatItIs) {
  const Bytes self = ReadFileBytes(OwnExecutablePath());
  TMemoryStream stream(self);
#ifdef _WIN32
  const TPeImage pe = ReadPeImage(stream);
  EXPECT_TRUE(pe.wide);
  EXPECT_GE(pe.sections.size(), 3u);
  EXPECT_LE(pe.imageEnd, int64_t(self.size()));
  EXPECT_NO_THROW(ReadPeResources(stream, pe));
#else
  EXPECT_EQ(ErrorOf([&] { ReadPeImage(stream); }), "no MZ header");
#endif
}

TEST(PeResources, MalformedProgramsAreRefusedNamingTheFault) {
  const size_t rsrc = 0x400;
  struct Case {
    const char* expected;
    std::function<void(Bytes&)> damage;
  } cases[] = {
      {"too short for an MZ header", [](Bytes& b) { b.resize(0x30); }},
      {"no MZ header", [](Bytes& b) { b[1] = 'X'; }},
      {"the PE header lies outside the file", [](Bytes& b) { Put(b, 0x3C, 0xFFFFFFF0u, 4); }},
      {"no PE signature", [](Bytes& b) { b[PeAt + 2] = 1; }},
      {"the optional header lies outside the file", [](Bytes& b) { Put(b, PeAt + 20, 0xFFFF, 2); }},
      {"unknown optional header magic 0x999", [](Bytes& b) { Put(b, OptionalAt, 0x999, 2); }},
      {"the optional header is too short", [](Bytes& b) { Put(b, PeAt + 20, 100, 2); }},
      {"the section or file alignment is not a power of two", [](Bytes& b) { Put(b, OptionalAt + 36, 0x300, 4); }},
      {"the headers are larger than the file", [](Bytes& b) { Put(b, OptionalAt + 60, 0x100000, 4); }},
      {"the section table lies outside the file", [](Bytes& b) { Put(b, PeAt + 6, 200, 2); }},
      {"section .rsrc lies outside the file", [](Bytes& b) { Put(b, SectionTableAt(64) + 40 + 20, 0x7FFFFF00, 4); }},
      {"the certificate table lies outside the file",
       [](Bytes& b) { Put(b, DirectoriesAt(64) + 32, 0x500, 4), Put(b, DirectoriesAt(64) + 36, 0x200, 4); }},
      {"the resource directory lies in no section", [](Bytes& b) { Put(b, DirectoriesAt(64) + 16, 0x9000, 4); }},
      {"resource directories are shared or form a loop", [&](Bytes& b) { Put(b, rsrc + 44, 0x80000000u, 4); }},
      {"a resource directory lies outside its section", [&](Bytes& b) { Put(b, rsrc + 14, 0x100, 2); }},
      {"a resource name lies outside its section", [&](Bytes& b) { Put(b, rsrc + 40, 0x800001FFu, 4); }},
      {"a resource type or name leads to data instead of a directory", [&](Bytes& b) { Put(b, rsrc + 20, 24, 4); }},
      {"a resource language leads to a fourth level", [&](Bytes& b) { Put(b, rsrc + 68, 0x80000000u | 72, 4); }},
      {"a resource language is named", [&](Bytes& b) { Put(b, rsrc + 64, 0x80000000u | 80, 4); }},
      {"a resource number is larger than 65535", [&](Bytes& b) { Put(b, rsrc + 40, 0x10007, 4); }},
      {"a resource data entry lies outside its section", [&](Bytes& b) { Put(b, rsrc + 68, 0x1F8, 4); }},
      {"resource data lies outside the file", [&](Bytes& b) { Put(b, rsrc + 72, 0x21FC, 4); }},
      {"resource data lies outside the file", [&](Bytes& b) { Put(b, rsrc + 76, 0xFFFFFFF0u, 4); }},
  };
  for (const Case& c : cases) {
    Bytes file = PeBytes(SmallPeShape(64, true));
    c.damage(file);
    EXPECT_EQ(ErrorOf([&] { ResourcesOf(file); }), c.expected);
  }
  EXPECT_EQ(ErrorOf([] { ResourcesOf(PeBytes(SmallPeShape(64, true))); }), "(no error)");
}

TEST(PeResources, ChecksumAddsWordsFoldsCarriesAndAddsTheLength) {
  struct Case {
    Bytes bytes;
    uint32_t expected;
  } cases[] = {
      {{}, 0},
      {{1, 2, 3}, 0x0201 + 0x03 + 3},
      {{0xFF, 0xFF, 0x02, 0x00}, 0x0002 + 4},  // 0xFFFF + 2 = 0x10001, folded to 2
      {{0x34, 0x12}, 0x1234 + 2},
  };
  for (const Case& c : cases) {
    TPeChecksum whole;
    whole.Add(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(whole.Value(), c.expected);
  }
  // Fed in pieces of odd lengths, the words are still paired as in the file.
  const Bytes data = PatternBytes(1001, 5);
  TPeChecksum whole, pieces;
  whole.Add(data.data(), data.size());
  for (size_t at = 0, step = 1; at < data.size(); at += step, step += 2)
    pieces.Add(&data[at], std::min(step, data.size() - at));
  EXPECT_EQ(pieces.Value(), whole.Value());
}

// The resource section is rewritten in place: the rest of the program is kept byte for byte,
// the headers say where the new section is, and the signature is dropped.
TEST(PeResources, RewritesTheLastResourceSectionInPlace) {
  for (int bits : {32, 64}) {
    SCOPED_TRACE(bits);
    TPeShape shape = SmallPeShape(bits, true);
    const Bytes before = PatternBytes(300, 1), signature = PatternBytes(200, 2), after = PatternBytes(33, 3);
    shape.overlay = Concat({before, signature, after});
    shape.certificateAt = 0x600 + 300, shape.certificateSize = 200;
    const Bytes input = PeBytes(shape);
    const std::vector<TPeResource> wanted = {
        Payload,
        Resource(TResourceId::Number(10), Named(u"HELLO"), 0x409, "named"),
        Resource(Named(u"CUSTOM"), TResourceId::Number(3), 0x407, std::string(5000, 'c')),
        Resource(TResourceId::Number(10), TResourceId::Number(7), 0x407, "deutsch"),
    };
    const TRewrite out = Rewrite(input, wanted);
    EXPECT_TRUE(out.outcome.signatureDropped);
    EXPECT_FALSE(out.outcome.sectionAdded);
    const TPeImage pe = ImageOf(out.file);
    ASSERT_EQ(pe.sections.size(), 2u);
    EXPECT_EQ(pe.resources.address, 0x2000u);
    EXPECT_EQ(pe.certificates.size, 0u);
    EXPECT_EQ(pe.certificates.address, 0u);
    const uint32_t newRaw = pe.sections[1].rawSize;
    EXPECT_EQ(newRaw % 0x200, 0u);
    EXPECT_EQ(pe.sections[1].virtualSize, pe.resources.size);  // unpadded: the signature's 200 bytes are gone
    EXPECT_GE(newRaw, pe.resources.size);
    EXPECT_EQ(pe.sizeOfImage, 0x2000 + ((pe.sections[1].virtualSize + 0xFFF) & ~0xFFFu));
    EXPECT_EQ(Bytes(out.file.begin() + 0x200, out.file.begin() + 0x400), Bytes(input.begin() + 0x200, input.begin() + 0x400));
    EXPECT_EQ(Bytes(out.file.begin() + 0x400 + newRaw, out.file.end()), Concat({before, after}));
    // Directory order: named types first, then numbers; within a name, languages ascending.
    const std::vector<TPeResource> back = ResourcesOf(out.file);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_TRUE(SameResource(back[0], wanted[2]));
    EXPECT_TRUE(SameResource(back[1], wanted[1]));
    EXPECT_TRUE(SameResource(back[2], wanted[3]));
    EXPECT_TRUE(SameResource(back[3], wanted[0]));
    // The checksum field holds the checksum of the file as written (the field counted as 0).
    Bytes zeroed = out.file;
    Put(zeroed, ChecksumAt, 0, 4);
    TPeChecksum sum;
    sum.Add(zeroed.data(), zeroed.size());
    EXPECT_EQ(Get32(out.file, ChecksumAt), sum.Value());
    EXPECT_NE(Get32(out.file, ChecksumAt), 0x1234u);
  }
}

TEST(PeResources, AProgramWithoutResourcesGetsASection) {
  for (int bits : {32, 64}) {
    SCOPED_TRACE(bits);
    TPeShape shape = SmallPeShape(bits, false);
    shape.overlay = PatternBytes(77, 9);
    const Bytes input = PeBytes(shape);
    const TRewrite out = Rewrite(input, {Payload});
    EXPECT_TRUE(out.outcome.sectionAdded);
    // The section is padded so that what follows the program stays where it was modulo 64 KiB.
    EXPECT_EQ(out.file.size() % 0x10000, input.size() % 0x10000);
    EXPECT_EQ(ImageOf(out.file).sections[1].rawSize, 0x10000u);
    EXPECT_FALSE(out.outcome.signatureDropped);
    const TPeImage pe = ImageOf(out.file);
    ASSERT_EQ(pe.sections.size(), 2u);
    EXPECT_EQ(pe.sections[1].name, ".rsrc");
    EXPECT_EQ(pe.sections[1].virtualAddress, 0x2000u);
    EXPECT_EQ(pe.sections[1].rawPointer, 0x400u);
    EXPECT_EQ(pe.sizeOfImage, 0x12000u);
    EXPECT_EQ(pe.resources.address, 0x2000u);
    const std::vector<TPeResource> back = ResourcesOf(out.file);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(SameResource(back[0], Payload));
    EXPECT_EQ(Bytes(out.file.end() - 77, out.file.end()), shape.overlay);
  }
}

// A resource section that is not the last one stays as it is, unused, and a new one follows
// the image; without room in the header for its entry the rewrite is refused.
TEST(PeResources, AResourceSectionInTheMiddleIsMovedWhenThereIsRoom) {
  TPeShape shape = SmallPeShape(32, true);
  shape.sections.push_back({".data", 0x3000, 0x200, 0x600, 0x200, {}});
  const Bytes input = PeBytes(shape);
  const TRewrite out = Rewrite(input, {Payload});
  EXPECT_TRUE(out.outcome.sectionAdded);
  const TPeImage pe = ImageOf(out.file);
  ASSERT_EQ(pe.sections.size(), 4u);
  EXPECT_EQ(pe.sections[3].virtualAddress, 0x4000u);
  EXPECT_EQ(pe.sections[3].rawPointer, 0x800u);
  EXPECT_EQ(pe.resources.address, 0x4000u);
  EXPECT_EQ(Bytes(out.file.begin() + 0x200, out.file.begin() + 0x800), Bytes(input.begin() + 0x200, input.end()));
  EXPECT_EQ(ResourcesOf(out.file).size(), 1u);

  const char* refusal =
      "the resource section is not the last one, or holds more than the resources, and the header has no room for "
      "another section";
  TPeShape full = shape;
  full.bits = 64;  // its wider optional header leaves room for four section entries only
  full.sections.push_back({".reloc", 0x4000, 0x200, 0x800, 0x200, {}});
  EXPECT_EQ(ErrorOf([&] { Rewrite(PeBytes(full), {Payload}); }), refusal);
  Bytes used = PeBytes(shape);
  used[SectionTableAt(32) + 3 * 40 + 4] = 1;  // bound imports after the table
  EXPECT_EQ(ErrorOf([&] { Rewrite(used, {Payload}); }), refusal);
  Bytes noEntry = PeBytes(SmallPeShape(32, false));
  Put(noEntry, OptionalAt + 92, 2, 4);
  EXPECT_EQ(ErrorOf([&] { Rewrite(noEntry, {Payload}); }), "the header has no entry for a resource directory");
  Bytes wideAlignment = PeBytes(SmallPeShape(32, true));
  Put(wideAlignment, OptionalAt + 36, 0x20000, 4), Put(wideAlignment, OptionalAt + 32, 0x20000, 4);
  EXPECT_EQ(ErrorOf([&] { Rewrite(wideAlignment, {Payload}); }), "the file alignment is larger than 64 KiB");
}

}  // namespace
