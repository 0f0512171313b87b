// dBASE III tables between kvXBase and Debian's dBASE tools: shapelib's
// dbfcreate, dbfadd, dbfinfo and dbfdump, and the Python dbfread module.
// tools/setup installs them (tools/packages/xbase-interop.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/xbase.h"

namespace {

const char* const kTools[] = {"/usr/bin/dbfcreate", "/usr/bin/dbfadd", "/usr/bin/dbfinfo",
                              "/usr/bin/dbfdump", "/usr/bin/python3"};

class DbfTools : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : kTools)
      ASSERT_TRUE(std::filesystem::exists(tool)) << tool << " is missing: run tools/setup";
    ASSERT_EQ(run("/usr/bin/python3 -c 'import dbfread'"), 0) << "python3-dbfread is missing";
  }

  // Single-quotes a word for the shell.
  static std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  // Runs a shell command; its standard output lands in output_.
  int run(const std::string& command) {
    std::string out = dir_.file("out.txt");
    int status = std::system((command + " >" + quote(out) + " 2>&1").c_str());
    std::ifstream in(out);
    output_.assign(std::istreambuf_iterator<char>(in), {});
    return status;
  }

  // dbfdump -m: one "NAME: value" line per field, records introduced by
  // "Record: n"; values are padded to the field width, empty ones shown as
  // (NULL); the values come back without blanks around them.
  std::vector<std::vector<std::string>> dump(const std::string& path) {
    EXPECT_EQ(run("/usr/bin/dbfdump -m " + quote(path)), 0) << output_;
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(output_);
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind("Record: ", 0) == 0) {
        rows.emplace_back();
      } else if (!rows.empty() && line.find(": ") != std::string::npos) {
        std::string value = line.substr(line.find(": ") + 2);
        value.erase(value.find_last_not_of(' ') + 1);
        value.erase(0, value.find_first_not_of(' '));  // numbers are right-aligned
        rows.back().push_back(value == "(NULL)" ? "" : value);
      }
    }
    return rows;
  }

  // dbfread: header numbers, field names and lengths, then each valid record
  // as its fields joined by '|' (texts without their trailing blanks, numbers
  // as dbfread converts them).
  std::string dbfread(const std::string& path) {
    std::string script =
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='latin-1', char_decode_errors='strict')\n"
        "h = t.header\n"
        "print(h.dbversion, h.year, h.month, h.day, h.numrecords, h.headerlen, h.recordlen,"
        " h.language_driver)\n"
        "print(' '.join('%s:%s:%d' % (f.name, f.type, f.length) for f in t.fields))\n"
        "for r in t:\n"
        "    print('|'.join('' if v is None else str(v) for v in r.values()))\n";
    std::string file = dir_.file("read.py");
    std::ofstream(file) << script;
    EXPECT_EQ(run("/usr/bin/python3 " + quote(file) + " " + quote(path)), 0) << output_;
    return output_;
  }

  kivo::test::TempDir dir_;
  std::string output_;
};

TEST_F(DbfTools, TablesWeWriteOpenInTheStandardTools) {
  std::string path = dir_.file("ours.dbf");
  {
    kvXBase t;
    ASSERT_TRUE(t.create(dir_.file("ours"), 2, 3, 9));
    t.writetext(0, 0, "Font");
    t.writetext(0, 1, "two words");
    t.writetext(0, 2, "cut after ten bytes");
    t.writeint(1, 1, -40);
    t.write(4, 2, "%06x", 0xc0c0ff);  // appends records 2, 3 and 4
    ASSERT_TRUE(t.close());
  }

  ASSERT_EQ(run("/usr/bin/dbfinfo " + quote(path)), 0) << output_;
  EXPECT_NE(output_.find("3 Columns,  5 Records in file"), std::string::npos) << output_;
  EXPECT_NE(output_.find("C0\t         string  (10,0)"), std::string::npos) << output_;

  auto rows = dump(path);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Font", "two words", "cut after"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"", "-40", ""}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(rows[4], (std::vector<std::string>{"", "", "c0c0ff"}));

  int year = kvyear() - 1900;
  if (year > 100) year -= 100;
  std::ostringstream header;
  header << "3 " << year << " " << kvmonth() << " " << kvday() << " 5 129 31 3\n"
         << "C0:C:10 C1:C:10 C2:C:10\n";
  EXPECT_EQ(dbfread(path), header.str() +
                               "Font|two words|cut after\n"
                               "|-40|\n||\n||\n||c0c0ff\n");
}

TEST_F(DbfTools, TheSettingsShapeAndLongCharacterFieldsReadInDbfread) {
  std::string path = dir_.file("wide.dbf");
  {
    kvXBase t;
    ASSERT_TRUE(t.create(path, 50, 8, 250));
    t.writetext(0, 0, "Font");
    t.writetext(0, 1, "Arial,points=24,bold");
    t.writetext(49, 6, std::string(251, 'z'));
    ASSERT_TRUE(t.close());
    ASSERT_TRUE(t.create(dir_.file("long.dbf"), 1, 1, 299));
    std::string text(295, 'q');
    text.append("tail");
    t.writetext(0, 0, text);
    ASSERT_TRUE(t.close());
  }
  std::string out = dbfread(path);
  std::istringstream lines(out);
  std::string line;
  std::getline(lines, line);
  EXPECT_NE(line.find(" 50 289 2009 3"), std::string::npos) << line;
  std::getline(lines, line);
  EXPECT_EQ(line, "C0:C:251 C1:C:251 C2:C:251 C3:C:251 C4:C:251 C5:C:251 C6:C:251 C7:C:251");
  std::getline(lines, line);
  EXPECT_EQ(line, "Font|Arial,points=24,bold||||||");
  std::string last;
  while (std::getline(lines, line)) last = line;
  EXPECT_EQ(last, "||||||" + std::string(251, 'z') + "|");

  std::string text(295, 'q');
  text.append("tail");
  std::string long_out = dbfread(dir_.file("long.dbf"));
  EXPECT_NE(long_out.find("C0:C:300\n" + text + "\n"), std::string::npos) << long_out;
  // (shapelib reads only the low byte of a character field's length, so the
  // longer-than-255 form is checked with dbfread alone.)
}

TEST_F(DbfTools, TablesOfTheStandardToolsReadBackAndStayReadable) {
  std::string base = dir_.file("theirs");
  std::string path = base + ".dbf";
  ASSERT_EQ(run("/usr/bin/dbfcreate " + quote(base) + " -s NAME 12 -s CITY 20 -n COUNT 6 0"), 0)
      << output_;
  ASSERT_EQ(run("/usr/bin/dbfadd " + quote(path) + " 'Ada Lovelace' 'London' 36"), 0) << output_;
  ASSERT_EQ(run("/usr/bin/dbfadd " + quote(path) + " '' 'Zurich' -5"), 0) << output_;
  ASSERT_EQ(run("/usr/bin/dbfadd " + quote(path) + " 'exactly12chr' '' 0"), 0) << output_;

  {
    kvXBase t;
    ASSERT_TRUE(t.open(path));
    EXPECT_FALSE(t.readonly());
    EXPECT_EQ(t.records(), 3);
    EXPECT_EQ(t.fields(), 3);
    EXPECT_EQ(t.fieldlength(0), 12);
    EXPECT_EQ(t.fieldlength(2), 6);
    EXPECT_EQ(t.read(0, 0), "Ada Lovelace");
    EXPECT_EQ(t.read(0, 1), "London");
    EXPECT_EQ(t.readint(0, 2), 36);
    EXPECT_EQ(t.read(1, 0), "");
    EXPECT_EQ(t.read(1, 1), "Zurich");
    EXPECT_EQ(t.readint(1, 2), -5);
    EXPECT_EQ(t.read(2, 0), "exactly12chr");
    EXPECT_EQ(t.read(3, 0), "");

    // Change the table in place and add to it.
    t.writetext(1, 0, "Grace Hopper");
    EXPECT_EQ(t.append(), 3);
    t.writetext(3, 1, "Paris");
    t.writetext(3, 2, "    12");
    ASSERT_TRUE(t.close());
  }

  auto rows = dump(path);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"Grace Hopper", "Zurich", "-5"}));
  EXPECT_EQ(rows[3], (std::vector<std::string>{"", "Paris", "12"}));
  std::string out = dbfread(path);
  EXPECT_NE(out.find("NAME:C:12 CITY:C:20 COUNT:N:6\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Grace Hopper|Zurich|-5\n"), std::string::npos) << out;
}

}  // namespace
