// dBASE III table files (".dbf"): a header with field descriptors followed by
// fixed-length records of text fields. The ticker keeps its settings in one.
//
//   kvXBase t;
//   if (t.create("settings", 50, 8, 250)) {      // 8 fields "C0".."C7" of 251 bytes
//     t.write(0, 0, "%s", "Font");
//     t.writeint(2, 1, 120);
//     t.close();
//   }
//   if (t.open("settings.dbf")) { std::string s = t.read(0, 0); int n = t.readint(2, 1); }
//
// Records are addressed by their position among the records not marked
// deleted (0 = the first valid one); fields count from 0 in descriptor order.
// Texts are left-aligned and padded with blanks; reading removes trailing
// blanks and stops at a zero byte.
//
// File layout (numbers little-endian): byte 0 version 3; 1-3 date of the last
// update (year - 1900, less another 100 above 100; month; day); 4-7 record
// count; 8-9 header length H; 10-11 record length R; 29 language driver 3;
// from 32 one 32-byte descriptor per field (name, zero-padded upper case, at
// 0; type at 11; length at 16: for "C" the 16-bit value of bytes 16-17, for
// other types byte 16); byte H-1 is 13; record i at H + i * R: a deletion
// byte ("*" deleted, blank valid) and the fields. No end-of-file byte is
// written after the last record.
//
// Untrusted files: open refuses a header that does not fit the file (too
// short, H past the end or at least 10001, no field, fields longer than the
// record, a zero record length, more than 100000000 records); a record count
// beyond the end of the file is cut to the records present. Fields of types
// other than "C", "N" and "L" read as empty texts and are not written.
//
// A table made by create is written under a temporary name and gets its
// final name when it is closed, so an interrupted save never leaves half a
// table in place of the old one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class kvXBase {
 public:
  static constexpr int max_header = 10000;
  static constexpr uint32_t max_records = 100000000;

  kvXBase();
  ~kvXBase();  // closes
  kvXBase(const kvXBase&) = delete;
  kvXBase& operator=(const kvXBase&) = delete;

  // Opens an existing table for reading and writing, or for reading only when
  // that is all the file allows. Closes a table still open first.
  bool open(const std::string& name);
  // Writes the record count (and, after changes, today's date) into the header
  // and closes. False when changes could not be written (a created table then
  // keeps the old file, if any). Nothing happens when nothing is open.
  bool close();
  // A new table of `fields` character fields "C0", "C1", ... of length + 1
  // bytes each and `records` records whose fields read as empty texts.
  // ".dbf" is added to the name unless it contains ".dbf" or ".DBF". New
  // records of this table always go to the end. False when the file cannot be
  // made or the shape does not fit the format (1 to 311 fields, records at
  // most 65535 bytes long).
  bool create(const std::string& name, int records, int fields, int length);

  // The text of a field; empty for positions or fields that do not exist.
  void read(int record, int field, std::string& out);
  std::string read(int record, int field);
  // The field as a decimal integer (leading blanks skipped), 0 when none.
  int readint(int record, int field);

  // printf-style text into a field, cut at the field length. Records are
  // appended until the position exists. The format is program text.
  void write(int record, int field, const char* format, ...);
  void writetext(int record, int field, std::string_view text);
  void writeint(int record, int field, int value);

  // A new blank record: the first record marked deleted is reused (unless the
  // table was made by create), otherwise one is added at the end. Returns its
  // position among the valid records, -1 when the table is not writable.
  int append();

  int records() const { return static_cast<int>(index_.size()); }  // valid records
  int fields() const { return static_cast<int>(fields_.size()); }
  // Length of a field in bytes (0 for fields that do not exist).
  int fieldlength(int field) const;
  bool isopen() const { return open_; }
  bool readonly() const { return readonly_; }

 private:
  struct Field {
    uint32_t offset;  // within the record, after the deletion byte
    uint32_t length;
    bool text;        // "C", "N" or "L"
  };

  bool open_file(const std::string& path);
  bool parse_header(int64_t file_size);
  void build_index();
  bool seek(int64_t offset);
  bool put(int64_t offset, const void* data, std::size_t size);
  int64_t record_offset(uint32_t number) const;
  const Field* text_field(int field) const;
  void reset();

  std::FILE* file_ = nullptr;
  bool open_ = false;
  bool readonly_ = false;
  bool modified_ = false;
  bool appendonly_ = false;
  bool failed_ = false;  // a write did not succeed
  std::vector<uint8_t> header_;
  uint32_t header_length_ = 0;
  uint32_t record_length_ = 0;
  uint32_t record_count_ = 0;
  uint32_t stored_count_ = 0;  // the count the header holds
  std::vector<Field> fields_;
  std::string name_;       // final name of a created table
  std::string temp_name_;  // where it is written until closed
  std::vector<uint32_t> index_;    // valid records, in file order
  std::vector<uint32_t> deleted_;  // records marked deleted, in file order
  int64_t last_appended_ = -1;
};
