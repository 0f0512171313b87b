// dBASE III table files: layout, reading, writing, appending, deleted records
// and damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/xbase.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void save(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

uint32_t le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}
void set16(Bytes& b, std::size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void set32(Bytes& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string text_at(const Bytes& b, std::size_t at, std::size_t n) {
  return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

// A closed table "t.dbf" with 3 fields of 10 bytes and the given rows.
class XBaseFile : public ::testing::Test {
 protected:
  std::string make(const std::vector<std::vector<std::string>>& rows) {
    std::string path = dir_.file("t.dbf");
    kvXBase t;
    EXPECT_TRUE(t.create(dir_.file("t"), static_cast<int>(rows.size()), 3, 9));
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t f = 0; f < rows[r].size(); ++f)
        t.writetext(static_cast<int>(r), static_cast<int>(f), rows[r][f]);
    EXPECT_TRUE(t.close());
    return path;
  }
  kivo::test::TempDir dir_;
};

TEST_F(XBaseFile, CreatedTableHasTheDbaseIIILayout) {
  std::string path = make({{}, {}});
  Bytes b = load(path);
  ASSERT_EQ(b.size(), 129u + 2 * 31u);  // no end-of-file byte
  EXPECT_EQ(b[0], 3);
  int year = kvyear() - 1900;
  if (year > 100) year -= 100;
  EXPECT_EQ(b[1], year);
  EXPECT_EQ(b[2], kvmonth());
  EXPECT_EQ(b[3], kvday());
  EXPECT_EQ(le32(b, 4), 2u);
  EXPECT_EQ(le16(b, 8), 129u);
  EXPECT_EQ(le16(b, 10), 31u);
  EXPECT_EQ(b[29], 3);
  for (int f = 0; f < 3; ++f) {
    std::size_t d = 32 + 32 * f;
    EXPECT_EQ(text_at(b, d, 11), std::string("C") + char('0' + f) + std::string(9, '\0'));
    EXPECT_EQ(b[d + 11], 'C');
    EXPECT_EQ(le16(b, d + 16), 10u);
  }
  EXPECT_EQ(b[128], 13);
  for (int r = 0; r < 2; ++r) {
    EXPECT_EQ(b[129 + 31 * r], ' ');
    EXPECT_EQ(text_at(b, 130 + 31 * r, 30), std::string(30, '\0'));
  }
  // Nothing but the table is left in the folder.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);

  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.records(), 2);
  EXPECT_EQ(t.fields(), 3);
  EXPECT_EQ(t.fieldlength(2), 10);
  for (int r = 0; r < 2; ++r)
    for (int f = 0; f < 3; ++f) EXPECT_EQ(t.read(r, f), "") << r << "," << f;
}

TEST_F(XBaseFile, NameGetsTheExtensionOnlyWhenMissing) {
  kvXBase t;
  ASSERT_TRUE(t.create(dir_.file("a.DBF"), 1, 1, 3));
  ASSERT_TRUE(t.create(dir_.file("b.dbf.old"), 1, 1, 3));  // closes a.DBF first
  ASSERT_TRUE(t.create(dir_.file("c"), 1, 1, 3));
  t.close();
  EXPECT_TRUE(std::filesystem::exists(dir_.file("a.DBF")));
  EXPECT_TRUE(std::filesystem::exists(dir_.file("b.dbf.old")));
  EXPECT_TRUE(std::filesystem::exists(dir_.file("c.dbf")));
}

TEST_F(XBaseFile, TextsArePaddedWithBlanksAndCutAtTheFieldLength) {
  std::string path = make({{"abc", "exactly10!", "much longer than ten"}});
  Bytes b = load(path);
  EXPECT_EQ(text_at(b, 130, 10), "abc       ");
  EXPECT_EQ(text_at(b, 140, 10), "exactly10!");
  EXPECT_EQ(text_at(b, 150, 10), "much longe");

  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.read(0, 0), "abc");
  EXPECT_EQ(t.read(0, 1), "exactly10!");
  EXPECT_EQ(t.read(0, 2), "much longe");
  t.write(0, 0, " .%s. ", "+");  // leading blanks stay, trailing ones go
  t.writeint(0, 1, -42);
  t.write(0, 2, "%06x", 0xff8000);
  EXPECT_EQ(t.read(0, 0), " .+.");
  EXPECT_EQ(t.readint(0, 1), -42);
  EXPECT_EQ(t.read(0, 2), "ff8000");
  EXPECT_EQ(t.readint(0, 2), 0);
  t.writetext(0, 0, "   17 apples");
  EXPECT_EQ(t.readint(0, 0), 17);
  // Positions and fields that do not exist.
  EXPECT_EQ(t.read(1, 0), "");
  EXPECT_EQ(t.read(-1, 0), "");
  EXPECT_EQ(t.read(0, 3), "");
  EXPECT_EQ(t.read(0, -1), "");
  t.writetext(0, 7, "x");
  EXPECT_EQ(t.records(), 1);
}

TEST_F(XBaseFile, WritingPastTheLastRecordAppendsUpToThatPosition) {
  std::string path = make({{"r0"}, {"r1"}});
  {
    kvXBase t;
    ASSERT_TRUE(t.open(path));
    t.writetext(5, 1, "five");
    EXPECT_EQ(t.records(), 6);
    EXPECT_EQ(t.read(2, 0), "");
    EXPECT_TRUE(t.close());
  }
  Bytes b = load(path);
  EXPECT_EQ(le32(b, 4), 6u);
  EXPECT_EQ(b.size(), 129u + 6 * 31u);
  EXPECT_EQ(text_at(b, 129 + 2 * 31, 31), std::string(31, ' '));  // appended records are blank
  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.records(), 6);
  EXPECT_EQ(t.read(0, 0), "r0");
  EXPECT_EQ(t.read(5, 1), "five");
}

TEST_F(XBaseFile, DeletedRecordsAreSkippedAndReusedByAppend) {
  std::string path = make({{"r0"}, {"r1"}, {"r2"}});
  Bytes b = load(path);
  b[129 + 31] = '*';  // record 1
  save(path, b);
  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.records(), 2);
  EXPECT_EQ(t.read(0, 0), "r0");
  EXPECT_EQ(t.read(1, 0), "r2");
  EXPECT_EQ(t.append(), 1);  // the deleted record, blanked, between r0 and r2
  EXPECT_EQ(t.records(), 3);
  EXPECT_EQ(t.read(1, 0), "");
  EXPECT_EQ(t.read(2, 0), "r2");
  EXPECT_EQ(t.append(), 3);  // none deleted any more: at the end
  ASSERT_TRUE(t.close());
  b = load(path);
  EXPECT_EQ(le32(b, 4), 4u);
  EXPECT_EQ(b[129 + 31], ' ');
}

TEST_F(XBaseFile, ACreatedTableAppendsAtTheEnd) {
  kvXBase t;
  ASSERT_TRUE(t.create(dir_.file("t"), 2, 1, 4));
  EXPECT_EQ(t.append(), 2);
  t.writetext(2, 0, "new");
  ASSERT_TRUE(t.close());
  ASSERT_TRUE(t.open(dir_.file("t.dbf")));
  EXPECT_EQ(t.records(), 3);
  EXPECT_EQ(t.read(2, 0), "new");
}

TEST_F(XBaseFile, ReCreatingKeepsTheOldTableUntilClosed) {
  std::string path = make({{"old"}});
  kvXBase fresh;
  ASSERT_TRUE(fresh.create(dir_.file("t"), 1, 3, 9));
  fresh.writetext(0, 0, "new");
  {
    kvXBase reader;
    ASSERT_TRUE(reader.open(path));
    EXPECT_EQ(reader.read(0, 0), "old");
  }
  ASSERT_TRUE(fresh.close());
  kvXBase reader;
  ASSERT_TRUE(reader.open(path));
  EXPECT_EQ(reader.read(0, 0), "new");
}

TEST_F(XBaseFile, OpeningDoesNotRewriteAnUnchangedTable) {
  std::string path = make({{"a"}});
  Bytes b = load(path);
  b[1] = 90, b[2] = 1, b[3] = 2;  // an old date
  save(path, b);
  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.read(0, 0), "a");
  ASSERT_TRUE(t.close());
  EXPECT_EQ(load(path), b);
  ASSERT_TRUE(t.open(path));
  t.writetext(0, 0, "b");
  ASSERT_TRUE(t.close());
  EXPECT_EQ(load(path)[3], kvday());
}

TEST_F(XBaseFile, FieldsOfOtherTypesReadEmptyAndKeepTheirPlace) {
  // C(5), D(8), N(4), L(1): R = 1 + 18.
  Bytes b(32 + 4 * 32 + 1, 0);
  b[0] = 3;
  set16(b, 8, static_cast<uint32_t>(b.size()));
  set16(b, 10, 19);
  set32(b, 4, 1);
  const char types[] = {'C', 'D', 'N', 'L'};
  const int lengths[] = {5, 8, 4, 1};
  for (int f = 0; f < 4; ++f) {
    b[32 + 32 * f] = static_cast<uint8_t>('A' + f);
    b[32 + 32 * f + 11] = static_cast<uint8_t>(types[f]);
    b[32 + 32 * f + 16] = static_cast<uint8_t>(lengths[f]);
  }
  b.back() = 13;
  std::string record = " hello20240101  42T";
  b.insert(b.end(), record.begin(), record.end());
  std::string path = dir_.file("typed.dbf");
  save(path, b);
  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.read(0, 0), "hello");
  EXPECT_EQ(t.read(0, 1), "");  // the date field
  EXPECT_EQ(t.readint(0, 2), 42);
  EXPECT_EQ(t.read(0, 3), "T");
  t.writetext(0, 1, "xxxxxxxx");  // not a text field: left alone
  EXPECT_EQ(t.readint(0, 2), 42);
}

TEST_F(XBaseFile, HeaderPaddingAfterTheTerminatorIsNoField) {
  std::string path = make({{"a", "b", "c"}});
  Bytes b = load(path);
  // Move the terminator up so that only two descriptors count; the third
  // field's bytes then belong to the record's unused tail.
  b[96] = 13;
  save(path, b);
  kvXBase t;
  ASSERT_TRUE(t.open(path));
  EXPECT_EQ(t.fields(), 2);
  EXPECT_EQ(t.read(0, 1), "b");
}

TEST_F(XBaseFile, DamagedFilesAreRefusedOrReadEmpty) {
  std::string good = make({{"r0", "x"}, {"r1", "y"}});
  const Bytes base = load(good);
  struct Case {
    const char* what;
    void (*damage)(Bytes&);
    bool opens;
    int records;
  } cases[] = {
      {"empty file", [](Bytes& b) { b.clear(); }, false, 0},
      {"cut in the header", [](Bytes& b) { b.resize(100); }, false, 0},
      {"header length past the end", [](Bytes& b) { set16(b, 8, 400); }, false, 0},
      {"header length 10001", [](Bytes& b) {
         set16(b, 8, 10001);
         b.resize(12000, ' ');
       }, false, 0},
      {"header without a field", [](Bytes& b) { set16(b, 8, 33); }, false, 0},
      {"terminator first", [](Bytes& b) { b[32] = 13; }, false, 0},
      {"record length 0", [](Bytes& b) { set16(b, 10, 0); }, false, 0},
      {"fields longer than the record", [](Bytes& b) { set16(b, 10, 20); }, false, 0},
      {"field length 65535", [](Bytes& b) { set16(b, 32 + 16, 65535); }, false, 0},
      {"too many records", [](Bytes& b) { set32(b, 4, 100000001); }, false, 0},
      {"count past the end", [](Bytes& b) { set32(b, 4, 1000); }, true, 2},
      {"last record cut", [](Bytes& b) { b.resize(b.size() - 5); }, true, 1},
      {"no records", [](Bytes& b) { b.resize(129); }, true, 0},
  };
  for (const auto& c : cases) {
    Bytes b = base;
    c.damage(b);
    std::string path = dir_.file("damaged.dbf");
    save(path, b);
    kvXBase t;
    EXPECT_EQ(t.open(path), c.opens) << c.what;
    EXPECT_EQ(t.records(), c.records) << c.what;
    EXPECT_EQ(t.read(0, 0), c.records > 0 ? "r0" : "") << c.what;
    EXPECT_EQ(t.read(5, 0), "") << c.what;
  }
}

TEST_F(XBaseFile, CreateRefusesShapesTheFormatCannotHold) {
  kvXBase t;
  EXPECT_FALSE(t.create(dir_.file("a"), 1, 0, 9));
  EXPECT_FALSE(t.create(dir_.file("a"), 1, 312, 9));
  EXPECT_FALSE(t.create(dir_.file("a"), 1, 2, 40000));
  EXPECT_FALSE(t.create(dir_.file("a"), -1, 2, 9));
  EXPECT_FALSE(t.create(dir_.file("no/such/folder/a"), 1, 2, 9));
  EXPECT_TRUE(t.create(dir_.file("a"), 0, 311, 0));
  EXPECT_EQ(t.fields(), 311);
  EXPECT_TRUE(t.create(dir_.file("b"), 1, 1, 299));  // a character field above 255 bytes
  std::string wide(290, 'x');
  wide.append("end");
  t.writetext(0, 0, wide);
  EXPECT_EQ(t.read(0, 0), wide);
  t.close();
  EXPECT_FALSE(t.isopen());
  EXPECT_FALSE(t.open(dir_.file("missing.dbf")));
  EXPECT_FALSE(t.open(dir_.path()));  // a folder
}

}  // namespace
