#pragma once
// The desktop's file associations: which programs open a file type, which of them opens it by
// default, and making a program the default one.

#include <string>
#include <vector>

namespace mv::platform {

// A program that can open a file type, as its desktop entry names it.
struct FileTypeHandler {
  std::string id;           // the desktop entry's file name: "morvalen.desktop"
  std::string name;         // Name=
  std::string description;  // Comment=
  std::string command;      // Exec=
};

struct FileTypeAssociation {
  std::string defaultHandler;  // the default program's desktop entry; "" when none is set
  std::vector<FileTypeHandler> handlers;
};

class IFileAssociations {
 public:
  virtual ~IFileAssociations() = default;
  virtual FileTypeAssociation Query(const std::string& mimeType) = 0;
  // Makes the program of the desktop entry `handlerId` the default for the type; true on success.
  virtual bool SetDefault(const std::string& mimeType, const std::string& handlerId) = 0;
};

}  // namespace mv::platform
