#pragma once
// The desktop's file associations as the freedesktop.org tools keep them: the default program
// from "xdg-mime query default", the programs that can open a type from the desktop entries
// that list it (in $XDG_DATA_HOME and $XDG_DATA_DIRS), and "xdg-mime default" to change the
// default.

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_associations.h"

namespace mv::platform {

// What a desktop entry says of itself: its [Desktop Entry] group only, a Russian name or
// comment before the plain one. Lines past kMaxEntryBytes are not read.
struct DesktopEntryFacts {
  std::string name;
  std::string comment;
  std::string exec;
  std::vector<std::string> mimeTypes;
  bool hidden = false;  // Hidden=true: the entry counts as removed
};
inline constexpr std::size_t kMaxEntryBytes = 256 * 1024;
DesktopEntryFacts ParseDesktopEntry(std::string_view text);

class XdgFileAssociations final : public IFileAssociations {
 public:
  FileTypeAssociation Query(const std::string& mimeType) override;
  bool SetDefault(const std::string& mimeType, const std::string& handlerId) override;
};

}  // namespace mv::platform
