// The icon group and version information of a program's resources, changed and read back.
#include "convert/PeFace.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/core/IconFile.h"
#include "tests/convert/ConvertTestUtil.h"
#include "tests/convert/PeTestImages.h"

namespace {

using namespace pe_test;

TResourceId Num(uint16_t id) { return TResourceId::Number(id); }

// A group in the file's own form: the header, then per image 12 entry bytes and its number.
Bytes Group(const std::vector<std::pair<int, uint16_t>>& images) {
  Bytes g;
  Put(g, 2, 1, 2), Put(g, 4, images.size(), 2);
  for (const auto& [size, id] : images) {
    const size_t e = g.size();
    g.resize(e + 14, 0);
    g[e] = g[e + 1] = uint8_t(size);
    Put(g, e + 4, 1, 2), Put(g, e + 6, 32, 2), Put(g, e + 12, id, 2);
  }
  return g;
}

const TPeResource* Find(const std::vector<TPeResource>& resources, uint16_t type, const TResourceId& name) {
  auto it = std::find_if(resources.begin(), resources.end(),
                         [&](const TPeResource& r) { return r.type == Num(type) && r.name == name; });
  return it == resources.end() ? nullptr : &*it;
}

TEST(PeFace, FourPartVersionsAreParsedStrictly) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"1.2.3.4", true}, {"0.0.0.0", true}, {"65535.65535.65535.65535", true}, {"01.2.3.4", true},
      {"1.2.3", false}, {"1.2.3.4.5", false}, {"65536.0.0.0", false}, {"1..3.4", false}, {"1.2.3.", false},
      {"", false}, {" 1.2.3.4", false}, {"-1.2.3.4", false}, {"1.2.3.4a", false}, {"000001.0.0.0", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseFileVersion(c.text).has_value(), c.valid) << c.text;
  EXPECT_EQ(ParseFileVersion("7.65535.0.12")->parts, (std::array<uint16_t, 4>{7, 65535, 0, 12}));
  EXPECT_EQ(ParseFileVersion("01.2.3.4")->Text(), "1.2.3.4");
}

// The main group (the first in directory order) and its images give way to the icon file's;
// another group and its image stay; new images take numbers no other image uses.
TEST(PeFace, TheMainIconGroupAndItsImagesAreReplaced) {
  const TResourceId mainName{true, 0, u"MAINICON"};
  std::vector<TPeResource> resources = {
      {Num(RtGroupIcon), mainName, 0x407, 0, Group({{16, 1}, {32, 2}})},
      {Num(RtGroupIcon), Num(5), 0x407, 0, Group({{48, 3}})},
      {Num(RtIcon), Num(1), 0x407, 0, {1}},
      {Num(RtIcon), Num(2), 0x407, 0, {2}},
      {Num(RtIcon), Num(3), 0x407, 0, {3}},
      {Num(10), Num(1), 0x407, 0, {9}},
  };
  const Bytes icon = IconFileBytes({16, 32, 256});
  ReplaceMainIcon(resources, icon);
  const TPeResource* group = Find(resources, RtGroupIcon, mainName);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->language, 0x407);
  ASSERT_EQ(group->data.size(), 6u + 3 * 14);
  const std::vector<TIconImageInfo> images = ReadIconDirectory(icon.data(), icon.size());
  const uint16_t expectedIds[] = {1, 2, 4};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Bytes(group->data.begin() + 6 + 14 * i, group->data.begin() + 18 + 14 * i),
              Bytes(icon.begin() + 6 + 16 * i, icon.begin() + 18 + 16 * i));
    const uint16_t id = uint16_t(group->data[18 + 14 * i] | group->data[19 + 14 * i] << 8);
    EXPECT_EQ(id, expectedIds[i]);
    const TPeResource* image = Find(resources, RtIcon, Num(id));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->data, Bytes(icon.begin() + long(images[i].Offset), icon.begin() + long(images[i].Offset + images[i].Size)));
  }
  EXPECT_EQ(Find(resources, RtIcon, Num(3))->data, Bytes{3});
  EXPECT_EQ(Find(resources, RtGroupIcon, Num(5))->data, Group({{48, 3}}));
  EXPECT_EQ(Find(resources, 10, Num(1))->data, Bytes{9});
  EXPECT_EQ(resources.size(), 7u);
  EXPECT_EQ(ReadPeFace(resources).iconSizes, (std::vector<std::string>{"16x16", "32x32", "256x256"}));

  std::vector<TPeResource> none;
  ReplaceMainIcon(none, IconFileBytes({48}));
  ASSERT_NE(Find(none, RtGroupIcon, Num(1)), nullptr);
  EXPECT_EQ(Find(none, RtGroupIcon, Num(1))->language, 0x409);
  EXPECT_EQ(ReadPeFace(none).iconSizes, std::vector<std::string>{"48x48"});
  EXPECT_EQ(ErrorOf([&] { ReplaceMainIcon(none, PatternBytes(100, 1)); }), "Not an icon file");
}

TEST(PeFace, VersionInformationIsMadeThenChangedKeepingTheRest) {
  std::vector<TPeResource> resources;
  TProjectorFace face;
  face.strings = {{"FileDescription", "Intro film"}, {"CompanyName", "Corvane \xC3\xA9tudes"}, {"Custom", ""}};
  face.fileVersion = TFileVersion{{1, 2, 3, 4}};
  face.productVersion = TFileVersion{{5, 6, 7, 8}};
  ApplyVersionInfo(resources, face);
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(resources[0].language, 0x409);
  TPeFace shown = ReadPeFace(resources);
  EXPECT_EQ(shown.fileVersion, face.fileVersion);
  EXPECT_EQ(shown.productVersion, face.productVersion);
  const TVersionStrings first = {{"FileVersion", "1.2.3.4"},
                                 {"ProductVersion", "5.6.7.8"},
                                 {"FileDescription", "Intro film"},
                                 {"CompanyName", "Corvane \xC3\xA9tudes"},
                                 {"Custom", ""}};
  EXPECT_EQ(shown.strings, first);

  TProjectorFace change;
  change.strings = {{"FileDescription", "Outro"}, {"FileVersion", "one"}};
  change.fileVersion = TFileVersion{{9, 0, 0, 1}};
  ApplyVersionInfo(resources, change);
  ASSERT_EQ(resources.size(), 1u);
  shown = ReadPeFace(resources);
  EXPECT_EQ(shown.fileVersion, change.fileVersion);
  EXPECT_EQ(shown.productVersion, face.productVersion);
  EXPECT_EQ(shown.strings, (TVersionStrings{{"FileVersion", "one"},
                                            {"ProductVersion", "5.6.7.8"},
                                            {"FileDescription", "Outro"},
                                            {"CompanyName", "Corvane \xC3\xA9tudes"},
                                            {"Custom", ""}}));
}

TEST(PeFace, MalformedVersionInformationIsRefused) {
  std::vector<TPeResource> resources;
  TProjectorFace face;
  face.strings = {{"ProductName", "x"}};
  ApplyVersionInfo(resources, face);
  const Bytes good = resources[0].data;
  struct Case {
    const char* expected;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"a version block's length is out of range", 0, 0xFFFF},
      {"a version block's length is out of range", 0, 3},
      {"a version block's key has no end", 0, 8},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    Put(bad, c.at, c.value, 2);
    resources[0].data = bad;
    EXPECT_EQ(ErrorOf([&] { ReadPeFace(resources); }), c.expected);
    EXPECT_EQ(ErrorOf([&] { ApplyVersionInfo(resources, face); }), c.expected);
  }
  resources[0].data = Bytes{4, 0};
  EXPECT_EQ(ErrorOf([&] { ReadPeFace(resources); }), "a version block is cut short");
}

}  // namespace
