#pragma once
// Fakes of the services the report viewer starts other programs through, for the logic's
// tests and the window's.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/file_associations.h"
#include "platform/program_start.h"
#include "support/fake_platform.h"

namespace mv::test {

// Knows the programs of `onPath`; records every start (the program, then its arguments) and
// answers `startSucceeds`.
class FakeProgramStart final : public platform::IProgramStart {
 public:
  std::string FindProgram(const std::string& name) override {
    const auto it = onPath.find(name);
    return it == onPath.end() ? std::string() : it->second;
  }
  bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override {
    std::vector<std::string> call{program};
    call.insert(call.end(), arguments.begin(), arguments.end());
    started.push_back(std::move(call));
    return startSucceeds;
  }
  std::map<std::string, std::string> onPath;
  std::vector<std::vector<std::string>> started;
  bool startSucceeds = true;
};

// Answers every query with `association` and counts the queries.
class FakeFileAssociations final : public platform::IFileAssociations {
 public:
  platform::FileTypeAssociation Query(const std::string& mimeType) override {
    queried.push_back(mimeType);
    return association;
  }
  bool SetDefault(const std::string&, const std::string&) override { return false; }
  platform::FileTypeAssociation association;
  std::vector<std::string> queried;
};

// Both installed for the lifetime of the object.
struct ViewerFakes {
  FakeProgramStart programs;
  FakeFileAssociations fileTypes;
  ScopedService<platform::IProgramStart> g1{&programs};
  ScopedService<platform::IFileAssociations> g2{&fileTypes};
};

}  // namespace mv::test
