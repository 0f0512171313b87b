// PNG writing with stored deflate blocks, our own CRC-32 and Adler-32.
#include "toolkit/core/png_writer.h"

#include <array>
#include <cstring>

namespace kivo::png {
namespace {

constexpr std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = make_crc_table();

void put32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 24));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

void set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = uint8_t(v >> 24);
  out[at + 1] = uint8_t(v >> 16);
  out[at + 2] = uint8_t(v >> 8);
  out[at + 3] = uint8_t(v);
}

// Appends a chunk's CRC over its type and data, which start at `type_at`.
void finish_chunk(std::vector<uint8_t>& out, size_t type_at) {
  put32(out, crc32(out.data() + type_at, out.size() - type_at));
}

class StoredBlocks {
 public:
  explicit StoredBlocks(std::vector<uint8_t>& out) : out_(out) { buffer_.reserve(kBlockSize); }

  // Adds one row; a row that does not fit into the free space first sends
  // the gathered rows as a block. Rows longer than a block are split.
  void add_row(const uint8_t* row, size_t size) {
    adler_ = adler32(row, size, adler_);
    if (buffer_.size() + size > kBlockSize) flush(false);
    while (size > kBlockSize - buffer_.size()) {
      size_t part = kBlockSize - buffer_.size();
      buffer_.insert(buffer_.end(), row, row + part);
      row += part;
      size -= part;
      flush(false);
    }
    buffer_.insert(buffer_.end(), row, row + size);
  }

  void finish() {
    flush(true);
    put32(out_, adler_);
  }

 private:
  void flush(bool final_block) {
    if (buffer_.empty() && !final_block) return;
    uint16_t len = uint16_t(buffer_.size());
    out_.push_back(final_block ? 1 : 0);
    out_.push_back(uint8_t(len));
    out_.push_back(uint8_t(len >> 8));
    out_.push_back(uint8_t(~len));
    out_.push_back(uint8_t(uint16_t(~len) >> 8));
    out_.insert(out_.end(), buffer_.begin(), buffer_.end());
    buffer_.clear();
  }

  std::vector<uint8_t>& out_;
  std::vector<uint8_t> buffer_;
  uint32_t adler_ = 1;
};

}  // namespace

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t adler32(const uint8_t* data, size_t size, uint32_t adler) {
  uint32_t a = adler & 0xFFFF, b = adler >> 16;
  while (size > 0) {
    size_t n = size < 5552 ? size : 5552;  // largest run without overflow
    size -= n;
    for (size_t i = 0; i < n; ++i) {
      a += data[i];
      b += a;
    }
    data += n;
    a %= 65521;
    b %= 65521;
  }
  return (b << 16) | a;
}

std::vector<uint8_t> encode(const uint32_t* pixels, int width, int height, int stride) {
  std::vector<uint8_t> out;
  if (width <= 0 || height <= 0 || !pixels) return out;
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out.insert(out.end(), signature, signature + 8);

  put32(out, 13);
  size_t type_at = out.size();
  out.insert(out.end(), {'I', 'H', 'D', 'R'});
  put32(out, uint32_t(width));
  put32(out, uint32_t(height));
  out.insert(out.end(), {8, 2, 0, 0, 0});
  finish_chunk(out, type_at);

  size_t length_at = out.size();
  put32(out, 0);  // IDAT length, written when known
  type_at = out.size();
  out.insert(out.end(), {'I', 'D', 'A', 'T', 0x78, 0xDA});
  std::vector<uint8_t> row(1 + 3 * size_t(width));
  StoredBlocks blocks(out);
  for (int y = 0; y < height; ++y) {
    const uint32_t* p = pixels + size_t(y) * size_t(stride);
    row[0] = 0;
    for (int x = 0; x < width; ++x) {
      row[1 + 3 * size_t(x)] = uint8_t(p[x] >> 16);
      row[2 + 3 * size_t(x)] = uint8_t(p[x] >> 8);
      row[3 + 3 * size_t(x)] = uint8_t(p[x]);
    }
    blocks.add_row(row.data(), row.size());
  }
  blocks.finish();
  set32(out, length_at, uint32_t(out.size() - type_at - 4));
  finish_chunk(out, type_at);

  put32(out, 0);
  type_at = out.size();
  out.insert(out.end(), {'I', 'E', 'N', 'D'});
  finish_chunk(out, type_at);
  return out;
}

}  // namespace kivo::png
