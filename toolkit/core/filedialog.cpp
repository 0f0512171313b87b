// File dialogs over the port's Dialogs service.
#include "toolkit/core/filedialog.h"

#include <filesystem>

#include "toolkit/port/backend.h"
#include "toolkit/port/dialogs.h"

namespace {

constexpr size_t kSuggestionMax = 1023;

std::string text(const char* s) { return s ? s : ""; }

kivo::port::DialogResult run(bool save, std::string& name, const std::vector<std::string>& patterns,
                             const std::vector<std::string>& descriptions, const char* start_folder,
                             const char* title, const char* default_extension, bool must_exist,
                             const char* suggestion) {
  kivo::port::FileDialogRequest request;
  request.save = save;
  request.patterns = patterns;
  for (size_t i = 0; i < patterns.size(); ++i) {
    std::string d = i < descriptions.size() ? descriptions[i] : "";
    request.descriptions.push_back(d.empty() ? patterns[i] : d);
  }
  request.start_folder = text(start_folder);
  request.title = text(title);
  request.default_extension = text(default_extension);
  request.suggestion = text(suggestion).substr(0, kSuggestionMax);
  request.must_exist = must_exist;

  std::error_code ec;
  std::filesystem::path folder = std::filesystem::current_path(ec);
  std::string chosen;
  kivo::port::DialogResult result = kivo::port::backend().dialogs().file(request, chosen);
  if (!ec) std::filesystem::current_path(folder, ec);
  if (result == kivo::port::DialogResult::Chosen) {
    for (char& c : chosen)
      if (c == '\\') c = '/';
    name = chosen;
  }
  return result;
}

}  // namespace

bool kvfiledialog_available() { return kivo::port::backend().dialogs().has_file_dialog(); }

bool kvfiledialog_open(std::string& name, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& descriptions, const char* start_folder, const char* title,
                       const char* default_extension, bool must_exist, const char* suggestion) {
  return run(false, name, patterns, descriptions, start_folder, title, default_extension, must_exist, suggestion) ==
         kivo::port::DialogResult::Chosen;
}

bool kvfiledialog_save(std::string& name, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& descriptions, const char* start_folder, const char* title,
                       const char* default_extension, const char* suggestion) {
  return run(true, name, patterns, descriptions, start_folder, title, default_extension, false, suggestion) ==
         kivo::port::DialogResult::Chosen;
}
