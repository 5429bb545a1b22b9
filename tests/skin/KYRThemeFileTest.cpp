#include "skin/KYRThemeFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "framework/core/BmpCodec.h"
#include "skin/KYRThemes.h"
#include "tests/skin/KYRThemeFileTestSupport.h"

namespace {

using ThemeReader = TkyrThemeFileReader;

Bytes WithMagic(const std::string& magic12, size_t total = 24) {
  Bytes file(magic12.begin(), magic12.end());
  file.resize(total, 0);
  return file;
}

TEST(IsValidThemeFile, MagicMustMatchExactlyUpToTheFirstNul) {
  TempDir dir;
  const struct {
    const char* Name;
    Bytes File;
    bool Valid;
  } cases[] = {
      {"exact", WithMagic(std::string("Tessarn_TB\0\0", 12)), true},
      {"lower case", WithMagic(std::string("tessarn_tb\0\0", 12)), false},
      {"one more character", WithMagic(std::string("Tessarn_TBX\0", 12)), false},
      {"no nul in 12 bytes", WithMagic("Tessarn_TBXY"), false},
      {"bytes after the nul", WithMagic(std::string("Tessarn_TB\0Z", 12)), true},
      {"shorter magic", WithMagic(std::string("Tessarn_T\0\0\0", 12)), false},
      {"only the 12 magic bytes", WithMagic(std::string("Tessarn_TB\0\0", 12), 12), true},
      {"cut inside the magic", WithMagic("Tessarn_TB", 10), false},
      {"empty", Bytes{}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFileBytes(dir / "t.thm", c.File);
    EXPECT_EQ(IsValidThemeFile(dir / "t.thm"), c.Valid);
  }
  EXPECT_FALSE(IsValidThemeFile(dir / "missing.thm"));
  EXPECT_FALSE(IsValidThemeFile(dir.Path()));  // a folder is no file
}

class ThemeFileTest : public ::testing::Test {
protected:
  std::string Write(const Bytes& file) {
    WriteFileBytes(dir_ / "t.thm", file);
    return dir_ / "t.thm";
  }
  std::unique_ptr<ThemeReader> Load(const Bytes& file) { return std::make_unique<ThemeReader>(Write(file)); }
  // The message of the EkyrThemeFileError that loading FILE raises.
  std::string Refusal(const Bytes& file) {
    try {
      ThemeReader reader(Write(file));
    } catch (const EkyrThemeFileError& e) {
      return e.Message();
    }
    ADD_FAILURE() << "the file was loaded";
    return "";
  }
  std::string Prefix() { return "Theme file " + (dir_ / "t.thm") + " cannot be read safely: "; }

  TempDir dir_;
};

TEST_F(ThemeFileTest, ALoneTerminatorLoadsNothing) {
  auto reader = Load(ThemeFileBytes().Terminator(1, "FormBorderWidthInt", ThemeFileBytes::LE32(7)).Build());
  EXPECT_TRUE(reader->Entries().empty());
  EXPECT_EQ(reader->GetInteger("FormBorderWidthInt"), -1);
  EXPECT_FALSE(reader->GetBool("FormBorderWidthInt"));
  EXPECT_EQ(reader->GetStream("FormBorderWidthInt"), nullptr);
}

TEST_F(ThemeFileTest, TheTerminatorIsNotLoadedButEveryEarlierRecordIs) {
  auto reader = Load(ThemeFileBytes()
                         .Int("FormBorderWidthInt", 3)
                         .Bool("ButtonTransparentBool", 1)
                         .Terminator(1, "FormMinWidthInt", ThemeFileBytes::LE32(99))
                         .Build());
  ASSERT_EQ(reader->Entries().size(), 2u);
  EXPECT_EQ(reader->GetInteger("FormBorderWidthInt"), 3);
  EXPECT_TRUE(reader->GetBool("ButtonTransparentBool"));
  EXPECT_EQ(reader->GetInteger("FormMinWidthInt"), -1);
}

TEST_F(ThemeFileTest, NamesDifferingInCaseAnswerWithTheFirstInChainOrder) {
  auto reader = Load(ThemeFileBytes()
                         .Int("MenuBarColor", 5)
                         .Int("MENUBARCOLOR", 7)
                         .Image("ButtonImage", {1})
                         .Image("buttonimage", {2})
                         .Build());
  EXPECT_EQ(reader->GetInteger("MenuBarColor"), 5);
  EXPECT_EQ(reader->GetInteger("MENUBARCOLOR"), 5);
  EXPECT_EQ(reader->GetInteger("menubarcolor"), 5);
  TStream* image = reader->GetStream("BUTTONIMAGE");
  ASSERT_NE(image, nullptr);
  uint8_t byte = 0;
  image->ReadBuffer(&byte, 1);
  EXPECT_EQ(byte, 1);
}

TEST_F(ThemeFileTest, KindsDoNotMix) {
  auto reader = Load(ThemeFileBytes()
                         .Int("OnlyInteger", 1)
                         .Bool("OnlyBool", 1)
                         .Image("OnlyImage", {1, 2})
                         .Text("OnlyText", "1")
                         .Build());
  EXPECT_EQ(reader->GetInteger("OnlyBool"), -1);
  EXPECT_EQ(reader->GetInteger("OnlyImage"), -1);
  EXPECT_EQ(reader->GetInteger("OnlyText"), -1);
  EXPECT_FALSE(reader->GetBool("OnlyInteger"));
  EXPECT_FALSE(reader->GetBool("OnlyText"));
  EXPECT_EQ(reader->GetStream("OnlyInteger"), nullptr);
  EXPECT_EQ(reader->GetStream("OnlyBool"), nullptr);
  EXPECT_EQ(reader->GetInteger("OnlyInteger"), 1);
  EXPECT_TRUE(reader->GetBool("OnlyBool"));
}

TEST_F(ThemeFileTest, BooleansAreAnyNonZeroByte) {
  auto reader = Load(ThemeFileBytes().Bool("Two", 2).Bool("Zero", 0).Bool("Max", 255).Build());
  EXPECT_TRUE(reader->GetBool("Two"));
  EXPECT_FALSE(reader->GetBool("Zero"));
  EXPECT_TRUE(reader->GetBool("Max"));
  EXPECT_EQ(reader->Entries()[0].Value, "2");
  EXPECT_EQ(reader->Entries()[2].Value, "255");
}

TEST_F(ThemeFileTest, IntegersAreSigned) {
  auto reader = Load(
      ThemeFileBytes().Int("MinusOne", -1).Int("Negative", -5).Int("Min", INT32_MIN).Int("Max", INT32_MAX).Build());
  EXPECT_EQ(reader->GetInteger("MinusOne"), reader->GetInteger("Absent"));  // indistinguishable
  EXPECT_EQ(reader->GetInteger("MinusOne"), -1);
  EXPECT_EQ(reader->GetInteger("Negative"), -5);
  EXPECT_EQ(reader->GetInteger("Min"), INT32_MIN);
  EXPECT_EQ(reader->GetInteger("Max"), INT32_MAX);
  EXPECT_EQ(reader->Entries()[1].Value, "-5");
}

TEST_F(ThemeFileTest, ImageStreamsHoldTheBytesAndRewind) {
  const Bytes bmp = PatternBytes(300, 7);
  auto reader = Load(ThemeFileBytes().Image("TitleBarLeftImage", bmp).Image("Empty", {}).Build());
  TStream* stream = reader->GetStream("TitleBarLeftImage");
  ASSERT_NE(stream, nullptr);
  Bytes read(bmp.size());
  stream->ReadBuffer(read.data(), static_cast<int64_t>(read.size()));
  EXPECT_EQ(read, bmp);
  EXPECT_EQ(reader->GetStream("titlebarleftimage"), stream);  // the same stream, rewound
  EXPECT_EQ(stream->Position(), 0);
  EXPECT_EQ(reader->GetStream("Empty")->Size(), 0);
  EXPECT_EQ(reader->Entries()[0].Image, stream);
}

TEST_F(ThemeFileTest, UnknownKindsAreSkippedWithoutLookingAtTheirData) {
  Bytes file = ThemeFileBytes().Add(7, "Future", {1, 2, 3}).Int("Width", 4).Build();
  ThemeFileBytes::Put32(file, ThemeFileBytes::DataOffsetAt(0), 0xFFFFFF00);
  auto reader = Load(file);
  ASSERT_EQ(reader->Entries().size(), 1u);
  EXPECT_EQ(reader->GetInteger("Width"), 4);
}

TEST_F(ThemeFileTest, TextsAreLoadedAsStored) {
  auto reader = Load(ThemeFileBytes().Text("Author", "a=b c").Int("Author", 3).Build());
  ASSERT_EQ(reader->Entries().size(), 2u);
  EXPECT_EQ(reader->Entries()[0].Kind, kyrEntryText);
  EXPECT_EQ(reader->Entries()[0].Value, "a=b c");
  EXPECT_EQ(reader->GetInteger("Author"), 3);
}

TEST_F(ThemeFileTest, NamesAreCutAtTheirFieldAndAtTheFirstEquals) {
  const std::string full(64, 'N');
  auto reader = Load(ThemeFileBytes().Int(full, 11).Int("Left=Right", 12).Build());
  EXPECT_EQ(reader->Entries()[0].Name, full);  // all 64 bytes, no NUL
  EXPECT_EQ(reader->GetInteger(full), 11);
  // "Left=Right=12": the name part is "Left" and "Right=12" is no number.
  EXPECT_EQ(reader->GetInteger("Left"), -1);
  EXPECT_EQ(reader->GetInteger("Left=Right"), -1);
}

TEST_F(ThemeFileTest, RecordsMayLieAnywhereInChainOrder) {
  // Swap the chain: header -> record 1 -> record 0 -> terminator.
  Bytes file = ThemeFileBytes().Int("Second", 2).Int("First", 1).Build();
  ThemeFileBytes::Put32(file, 20, ThemeFileBytes::RecordOffset(1));
  ThemeFileBytes::Put32(file, ThemeFileBytes::NextAt(1), ThemeFileBytes::RecordOffset(0));
  ThemeFileBytes::Put32(file, ThemeFileBytes::NextAt(0), ThemeFileBytes::RecordOffset(2));
  auto reader = Load(file);
  ASSERT_EQ(reader->Entries().size(), 2u);
  EXPECT_EQ(reader->Entries()[0].Name, "First");
  EXPECT_EQ(reader->Entries()[1].Name, "Second");
}

// Every integer, colour and boolean of a built-in style, written and read back by key.
TEST_F(ThemeFileTest, ABuiltinStyleRoundTrips) {
  ThemeFileBytes bytes;
  for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
    const TkyrThemeValueKind kind = GetThemeElementKind(e);
    if (kind == kyrThemeBool) bytes.Bool(GetThemeElementKey(e), GetBuiltinBool(WinXP, e));
    if (kind == kyrThemeInt) bytes.Int(GetThemeElementKey(e), GetBuiltinInt(WinXP, e));
    if (kind == kyrThemeColor) bytes.Int(GetThemeElementKey(e), GetBuiltinColor(WinXP, e));
    if (kind == kyrThemeImage) bytes.Image(GetThemeElementKey(e), Bytes(e, uint8_t(e)));
  }
  auto reader = Load(bytes.Build());
  for (int e = 1; e <= KYR_THEME_ELEMENT_COUNT; ++e) {
    SCOPED_TRACE(GetThemeElementKey(e));
    switch (GetThemeElementKind(e)) {
      case kyrThemeBool: EXPECT_EQ(reader->GetBool(GetThemeElementKey(e)), GetBuiltinBool(WinXP, e)); break;
      case kyrThemeInt: EXPECT_EQ(reader->GetInteger(GetThemeElementKey(e)), GetBuiltinInt(WinXP, e)); break;
      case kyrThemeColor: EXPECT_EQ(reader->GetInteger(GetThemeElementKey(e)), GetBuiltinColor(WinXP, e)); break;
      case kyrThemeImage: EXPECT_EQ(reader->GetStream(GetThemeElementKey(e))->Size(), e); break;
    }
  }
}

// ---- refusals ----

TEST_F(ThemeFileTest, AMissingFileRaisesTheFileOpenError) {
  EXPECT_THROW(ThemeReader(dir_ / "missing.thm"), EFOpenError);
}

TEST_F(ThemeFileTest, HeaderFaultsAreRefused) {
  Bytes wrongSize = ThemeFileBytes().Int("A", 1).Build();
  ThemeFileBytes::Put32(wrongSize, 12, 30);
  EXPECT_EQ(Refusal(wrongSize), Prefix() + "its header size is 30, not 24");
  ThemeFileBytes::Put32(wrongSize, 12, 16);
  EXPECT_EQ(Refusal(wrongSize), Prefix() + "its header size is 16, not 24");
  const Bytes shortFile = WithMagic(std::string("Tessarn_TB\0\0", 12), 20);
  EXPECT_EQ(Refusal(shortFile), Prefix() + "it is too short for a theme file header (20 bytes)");
}

TEST_F(ThemeFileTest, RecordsOutsideTheFileAreRefused) {
  Bytes first = ThemeFileBytes().Int("A", 1).Build();
  const uint32_t size = static_cast<uint32_t>(first.size());
  ThemeFileBytes::Put32(first, 20, size);
  EXPECT_EQ(Refusal(first),
            Prefix() + "its record at offset " + std::to_string(size) + " lies beyond the end of the file (" +
                std::to_string(size) + " bytes)");
  ThemeFileBytes::Put32(first, 20, size - 76);  // starts inside, ends one byte past the end
  EXPECT_NE(Refusal(first).find("record at offset " + std::to_string(size - 76) + " lies beyond"), std::string::npos);
  Bytes next = ThemeFileBytes().Int("A", 1).Build();
  ThemeFileBytes::Put32(next, ThemeFileBytes::NextAt(0), 0xFFFFFFF0);
  EXPECT_EQ(Refusal(next), Prefix() + "its record at offset 4294967280 lies beyond the end of the file (" +
                               std::to_string(next.size()) + " bytes)");
}

TEST_F(ThemeFileTest, WrongLengthsOfIntegersAndBooleansAreRefused) {
  EXPECT_EQ(Refusal(ThemeFileBytes().Add(1, "Width", {1, 0}).Build()),
            Prefix() + "entry \"Width\" is an integer of 2 bytes, not 4");
  EXPECT_EQ(Refusal(ThemeFileBytes().Add(1, "Width", Bytes(8, 0)).Build()),
            Prefix() + "entry \"Width\" is an integer of 8 bytes, not 4");
  EXPECT_EQ(Refusal(ThemeFileBytes().Add(2, "Flag", {1, 0, 0, 0}).Build()),
            Prefix() + "entry \"Flag\" is a boolean of 4 bytes, not 1");
  EXPECT_EQ(Refusal(ThemeFileBytes().Add(2, "Flag", {}).Build()),
            Prefix() + "entry \"Flag\" is a boolean of 0 bytes, not 1");
}

TEST_F(ThemeFileTest, DataOutsideTheFileIsRefused) {
  Bytes integer = ThemeFileBytes().Int("Width", 1).Build();
  ThemeFileBytes::Put32(integer, ThemeFileBytes::DataOffsetAt(0), static_cast<uint32_t>(integer.size() - 3));
  EXPECT_EQ(Refusal(integer), Prefix() + "the data of entry \"Width\" (offset " + std::to_string(integer.size() - 3) +
                                  ", 4 bytes) lies beyond the end of the file");
  Bytes text = ThemeFileBytes().Text("Note", "abc").Build();
  ThemeFileBytes::Put32(text, ThemeFileBytes::DataLengthAt(0), 0xFFFFFFFF);
  EXPECT_NE(Refusal(text).find("the data of entry \"Note\""), std::string::npos);
}

TEST_F(ThemeFileTest, AnImageRunningPastTheEndRaisesTheStreamReadError) {
  for (uint32_t length : {301u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes file = ThemeFileBytes().Image("ButtonImage", PatternBytes(300, 1)).Build();
    ThemeFileBytes::Put32(file, ThemeFileBytes::DataLengthAt(0), length);
    try {
      ThemeReader reader(Write(file));
      ADD_FAILURE() << "loaded with length " << length;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
  }
}

TEST_F(ThemeFileTest, AChainReturningToAnEarlierRecordIsRefused) {
  Bytes self = ThemeFileBytes().Int("A", 1).Build();
  ThemeFileBytes::Put32(self, ThemeFileBytes::NextAt(0), ThemeFileBytes::RecordOffset(0));
  EXPECT_EQ(Refusal(self), Prefix() + "its record chain returns to the record at offset 24");
  Bytes cycle = ThemeFileBytes().Int("A", 1).Int("B", 2).Int("C", 3).Build();
  ThemeFileBytes::Put32(cycle, ThemeFileBytes::NextAt(2), ThemeFileBytes::RecordOffset(1));
  EXPECT_EQ(Refusal(cycle), Prefix() + "its record chain returns to the record at offset 101");
}

// COUNT records of KIND, each pointing at the same offset (the first record's data) with
// the length LENGTH(i).
template <typename Length>
Bytes RecordsOverOneRange(uint8_t kind, int count, const Bytes& data, Length length) {
  ThemeFileBytes bytes;
  for (int i = 0; i < count; ++i) bytes.Add(kind, "Entry" + std::to_string(i), i == 0 ? data : Bytes{});
  Bytes file = bytes.Build();
  for (int i = 0; i < count; ++i) {
    ThemeFileBytes::Put32(file, ThemeFileBytes::DataOffsetAt(i), ThemeFileBytes::RecordOffset(count + 1));
    ThemeFileBytes::Put32(file, ThemeFileBytes::DataLengthAt(i), length(i));
  }
  return file;
}

TEST_F(ThemeFileTest, ElementsDrawnWithOneBitmapShareItsBytes) {
  // A real bitmap that two elements use; two copies of it would outgrow the file.
  const Bytes bmp = EncodeBmp(MakeBmpImage(16, 16, 0x3366CC), 24);
  Bytes file = ThemeFileBytes().Image("ButtonImage", bmp).Image("TitleBarButtonImage", {}).Build();
  ThemeFileBytes::Put32(file, ThemeFileBytes::DataOffsetAt(1), ThemeFileBytes::RecordOffset(3));
  ThemeFileBytes::Put32(file, ThemeFileBytes::DataLengthAt(1), static_cast<uint32_t>(bmp.size()));
  ASSERT_LT(file.size(), 2 * bmp.size());
  auto reader = Load(file);
  for (const char* key : {"ButtonImage", "TitleBarButtonImage"}) {
    auto* stream = static_cast<TMemoryStream*>(reader->GetStream(key));
    ASSERT_NE(stream, nullptr) << key;
    EXPECT_EQ(stream->Bytes(), bmp) << key;
    EXPECT_EQ(DecodeBmp(stream->Bytes()).Width, 16) << key;
  }
  EXPECT_EQ(reader->Entries()[0].Image, reader->Entries()[1].Image);  // one copy in memory

  // Twenty images of the same 400 bytes: 8000 bytes claimed from a ~2 KB file, 400 kept.
  auto many = Load(RecordsOverOneRange(kyrEntryImage, 20, PatternBytes(400, 3), [](int) { return 400; }));
  ASSERT_EQ(many->Entries().size(), 20u);
  EXPECT_EQ(many->Entries()[19].Image, many->Entries()[0].Image);
  EXPECT_EQ(many->GetStream("Entry19")->Size(), 400);
}

TEST_F(ThemeFileTest, OverlappingDataMayNotClaimMoreThanTheFileHolds) {
  const std::string refusal = Prefix() + "its entries claim more data than the file holds";
  // Images over different ranges of the same bytes are distinct and each is kept.
  EXPECT_EQ(Refusal(RecordsOverOneRange(kyrEntryImage, 20, PatternBytes(400, 3), [](int i) { return 400 - i; })),
            refusal);
  // Texts are kept as copies, one per entry.
  EXPECT_EQ(Refusal(RecordsOverOneRange(kyrEntryText, 20, PatternBytes(400, 4), [](int) { return 400; })), refusal);
}

}  // namespace
