// dBASE III table files.
#include "toolkit/core/xbase.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "toolkit/core/environment.h"
#include "toolkit/core/strformat.h"

namespace {

constexpr uint32_t kDescriptorStart = 32;
constexpr uint32_t kDescriptorSize = 32;
constexpr uint8_t kDescriptorEnd = 13;
constexpr uint8_t kDeleted = '*';
constexpr int kMaxFields = (kvXBase::max_header - 33) / 32;  // 311
constexpr uint32_t kMaxRecordLength = 65535;

uint32_t get16(const uint8_t* p) { return p[0] | (uint32_t{p[1]} << 8); }
uint32_t get32(const uint8_t* p) {
  return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
void put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Today's date into header bytes 1 to 3.
void stamp_date(uint8_t* p) {
  int year = kvyear() - 1900;
  if (year > 100) year -= 100;
  p[0] = static_cast<uint8_t>(year);
  p[1] = static_cast<uint8_t>(kvmonth());
  p[2] = static_cast<uint8_t>(kvday());
}

std::string temporary_name(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return name + ".~" + std::to_string(now) + "-" + std::to_string(counter++) + ".tmp";
}

int parse_decimal(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    v = std::min<int64_t>(v * 10 + (s[i] - '0'), int64_t{INT_MAX} + 1);
  if (negative) v = -v;
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

kvXBase::kvXBase() = default;

kvXBase::~kvXBase() { close(); }

void kvXBase::reset() {
  file_ = nullptr;
  open_ = readonly_ = modified_ = appendonly_ = failed_ = false;
  header_.clear();
  header_length_ = record_length_ = record_count_ = stored_count_ = 0;
  fields_.clear();
  name_.clear();
  temp_name_.clear();
  index_.clear();
  deleted_.clear();
  last_appended_ = -1;
}

bool kvXBase::seek(int64_t offset) {
  if (offset < 0 || offset > LONG_MAX) return false;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool kvXBase::put(int64_t offset, const void* data, std::size_t size) {
  bool ok = seek(offset) && std::fwrite(data, 1, size, file_) == size;
  if (!ok) failed_ = true;
  return ok;
}

int64_t kvXBase::record_offset(uint32_t number) const {
  return int64_t{header_length_} + int64_t{number} * record_length_;
}

// ---- Opening ----------------------------------------------------------------------

bool kvXBase::open(const std::string& name) {
  close();
  return open_file(name);
}

bool kvXBase::open_file(const std::string& path) {
  reset();
  file_ = std::fopen(path.c_str(), "r+b");
  if (!file_) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    readonly_ = true;
  }
  int64_t size = -1;
  if (std::fseek(file_, 0, SEEK_END) == 0) size = std::ftell(file_);
  if (size < 0 || !parse_header(size)) {
    std::fclose(file_);
    reset();
    return false;
  }
  build_index();
  open_ = true;
  return true;
}

bool kvXBase::parse_header(int64_t file_size) {
  uint8_t start[12];
  if (file_size < static_cast<int64_t>(sizeof start) || !seek(0) ||
      std::fread(start, 1, sizeof start, file_) != sizeof start)
    return false;
  header_length_ = get16(start + 8);
  record_length_ = get16(start + 10);
  record_count_ = get32(start + 4);
  // One descriptor and the terminator at least; all of it inside the file.
  if (header_length_ < kDescriptorStart + kDescriptorSize + 1 ||
      header_length_ > static_cast<uint32_t>(max_header) || header_length_ > file_size)
    return false;
  if (record_length_ == 0 || record_count_ > max_records) return false;
  header_.resize(header_length_);
  if (!seek(0) || std::fread(header_.data(), 1, header_length_, file_) != header_length_)
    return false;

  // The descriptors up to the terminator; other writers pad the header after it.
  uint32_t count = (header_length_ - 33) / kDescriptorSize;
  uint64_t offset = 1;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* d = header_.data() + kDescriptorStart + i * kDescriptorSize;
    if (d[0] == kDescriptorEnd) break;
    char type = static_cast<char>(d[11]);
    Field f;
    f.offset = static_cast<uint32_t>(offset);
    f.length = type == 'C' ? get16(d + 16) : d[16];
    f.text = type == 'C' || type == 'N' || type == 'L';
    offset += f.length;
    if (offset > record_length_) return false;  // the fields overrun the record
    fields_.push_back(f);
  }
  if (fields_.empty()) return false;

  stored_count_ = record_count_;
  // Records beyond the end of the file do not exist.
  int64_t present = (file_size - header_length_) / record_length_;
  if (present < record_count_) record_count_ = static_cast<uint32_t>(present);
  return true;
}

void kvXBase::build_index() {
  index_.clear();
  deleted_.clear();
  // Read the records in blocks and look at their deletion bytes.
  const uint32_t per_block = std::max<uint32_t>(1, (1u << 20) / record_length_);
  std::vector<uint8_t> block;
  for (uint32_t first = 0; first < record_count_; first += per_block) {
    uint32_t n = std::min(per_block, record_count_ - first);
    block.resize(static_cast<std::size_t>(n) * record_length_);
    std::size_t got = 0;
    if (seek(record_offset(first))) got = std::fread(block.data(), 1, block.size(), file_);
    for (uint32_t i = 0; i < n; ++i) {
      std::size_t at = static_cast<std::size_t>(i) * record_length_;
      bool deleted = at < got && block[at] == kDeleted;
      (deleted ? deleted_ : index_).push_back(first + i);
    }
  }
}

// ---- Closing ------------------------------------------------------------------------

bool kvXBase::close() {
  if (!open_) return true;
  put32(header_.data() + 4, record_count_);
  if (modified_) stamp_date(header_.data() + 1);
  if (!readonly_ && (modified_ || record_count_ != stored_count_))
    put(0, header_.data(), header_.size());
  if (!readonly_ && std::fflush(file_) != 0) failed_ = true;
  if (std::fclose(file_) != 0 && !readonly_) failed_ = true;
  bool ok = !failed_;
  if (!temp_name_.empty()) {
    std::error_code ec;
    if (ok) std::filesystem::rename(temp_name_, name_, ec);
    if (!ok || ec) {
      std::filesystem::remove(temp_name_, ec);
      ok = false;
    }
  }
  reset();
  return ok;
}

// ---- Creating ------------------------------------------------------------------------

bool kvXBase::create(const std::string& name, int records, int fields, int length) {
  close();
  if (fields < 1 || fields > kMaxFields || length < 0 || records < 0 ||
      static_cast<uint32_t>(records) > max_records)
    return false;
  uint64_t field_length = static_cast<uint64_t>(length) + 1;
  uint64_t record_length = 1 + field_length * static_cast<uint64_t>(fields);
  if (record_length > kMaxRecordLength) return false;

  std::string final_name = name;
  if (final_name.find(".dbf") == std::string::npos && final_name.find(".DBF") == std::string::npos)
    final_name += ".dbf";
  std::string temp = temporary_name(final_name);

  uint32_t h = kDescriptorSize * static_cast<uint32_t>(fields) + 33;
  std::vector<uint8_t> header(h, 0);
  header[0] = 3;
  stamp_date(header.data() + 1);
  put32(header.data() + 4, 0);
  put16(header.data() + 8, h);
  put16(header.data() + 10, static_cast<uint32_t>(record_length));
  header[29] = 3;  // language driver: Windows ANSI
  for (int i = 0; i < fields; ++i) {
    uint8_t* d = header.data() + kDescriptorStart + i * kDescriptorSize;
    std::string field_name = "C" + std::to_string(i);
    std::memcpy(d, field_name.data(), std::min<std::size_t>(field_name.size(), 11));
    d[11] = 'C';
    put16(d + 16, static_cast<uint32_t>(field_length));
  }
  header[h - 1] = kDescriptorEnd;

  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool written = std::fwrite(header.data(), 1, header.size(), f) == header.size();
  if (std::fclose(f) != 0) written = false;
  std::error_code ec;
  if (!written || !open_file(temp)) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  name_ = final_name;
  temp_name_ = temp;
  appendonly_ = true;

  // The new records: valid, every field zero bytes (read as empty texts).
  std::vector<uint8_t> blank(record_length_, 0);
  blank[0] = ' ';
  for (int i = 0; i < records; ++i) {
    if (!put(record_offset(record_count_), blank.data(), blank.size())) break;
    index_.push_back(record_count_++);
  }
  modified_ = true;
  if (failed_) {
    close();
    return false;
  }
  return true;
}

// ---- Records -------------------------------------------------------------------------

int kvXBase::append() {
  if (!open_ || readonly_) return -1;
  uint32_t number;
  if (!appendonly_ && !deleted_.empty()) {
    number = deleted_.front();
    deleted_.erase(deleted_.begin());
  } else {
    if (record_count_ >= max_records) return -1;
    number = record_count_;
  }
  std::vector<uint8_t> blank(record_length_, ' ');
  if (!put(record_offset(number), blank.data(), blank.size())) {
    if (number != record_count_) deleted_.insert(deleted_.begin(), number);
    return -1;
  }
  if (number == record_count_) ++record_count_;
  auto at = std::lower_bound(index_.begin(), index_.end(), number);
  at = index_.insert(at, number);
  modified_ = true;
  last_appended_ = number;
  return static_cast<int>(at - index_.begin());
}

int kvXBase::fieldlength(int field) const {
  if (field < 0 || field >= fields()) return 0;
  return static_cast<int>(fields_[field].length);
}

const kvXBase::Field* kvXBase::text_field(int field) const {
  if (!open_ || field < 0 || field >= fields()) return nullptr;
  const Field& f = fields_[field];
  return f.text && f.length > 0 ? &f : nullptr;
}

void kvXBase::read(int record, int field, std::string& out) {
  out.clear();
  const Field* f = text_field(field);
  if (!f || record < 0 || record >= records()) return;
  out.resize(f->length);
  std::size_t got = 0;
  if (seek(record_offset(index_[record]) + f->offset)) got = std::fread(out.data(), 1, f->length, file_);
  out.resize(got);
  std::size_t zero = out.find('\0');
  if (zero != std::string::npos) out.resize(zero);
  std::size_t end = out.find_last_not_of(' ');
  out.resize(end == std::string::npos ? 0 : end + 1);
}

std::string kvXBase::read(int record, int field) {
  std::string s;
  read(record, field, s);
  return s;
}

int kvXBase::readint(int record, int field) { return parse_decimal(read(record, field)); }

void kvXBase::writetext(int record, int field, std::string_view text) {
  const Field* f = text_field(field);
  if (!f || readonly_ || record < 0 || static_cast<uint32_t>(record) >= max_records) return;
  while (record >= records())
    if (append() < 0) return;
  std::string cell(f->length, ' ');
  std::memcpy(cell.data(), text.data(), std::min<std::size_t>(text.size(), f->length));
  if (put(record_offset(index_[record]) + f->offset, cell.data(), cell.size())) modified_ = true;
}

void kvXBase::write(int record, int field, const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  std::string text = kivo::core::vformat(format, args);
  va_end(args);
  writetext(record, field, text);
}

void kvXBase::writeint(int record, int field, int value) {
  writetext(record, field, std::to_string(value));
}
