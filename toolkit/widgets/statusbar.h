// kvStatusBar: the strip of text fields at the bottom of a window. Each
// field takes a per cent of the strip's width and shows a text (cut with
// "..." when it does not fit) or a progress value.
#pragma once

#include <string>

struct kvpxmap;

constexpr int kvstatusbar_max_fields = 10;

class kvStatusBar {
 public:
  kvStatusBar();
  void create(kvpxmap* surface, int x, int y, int width, int height, int font, int bgcolor, int textcolor);
  void place(kvpxmap* surface, int x, int y, int width, int height);
  // Comma-separated per cent widths ("90,10"); more than ten fields are cut.
  void setLayout(const char* layout);
  void setText(int field, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void setProgress(int field, int value);
  void draw();

  int fields() const { return fields_; }
  int fieldWidth(int field) const;  // pixels
  const std::string& text(int field) const;
  int x = 0, y = 0, width = 0, height = 0;
  bool created = false;

 private:
  kvpxmap* surface_ = nullptr;
  int font_ = -1, bgcolor_ = -1, textcolor_ = -1;
  int fields_ = 1;
  int percent_[kvstatusbar_max_fields] = {100};
  std::string text_[kvstatusbar_max_fields];
  int progress_[kvstatusbar_max_fields] = {};
  bool shows_progress_[kvstatusbar_max_fields] = {};
};
