// Registry path text split and value read. Input: a value length
// (0 to 300) and its bytes, a flag that stores the value under another name,
// then the path text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/registry.h"
#include "fuzz_check.h"
#include "virtual_platform.h"

namespace {

using fuzz::BeforeZero;
using fuzz::EndsWith;

struct Root {
  const char* name;
  RegistryRoot root;
};

const Root kRoots[] = {{"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
                       {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
                       {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
                       {"HKEY_USERS", RegistryRoot::Users}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string value =
      provider.ConsumeBytesAsString(provider.ConsumeIntegralInRange<size_t>(0, 300));
  const bool elsewhere = provider.ConsumeBool();
  const std::string pathText = provider.ConsumeRemainingBytesAsString();
  const std::string searched = BeforeZero(pathText);

  // The split: the first root name of the table found anywhere chooses the
  // root; the text after the first backslash splits at its last backslash.
  RegistryLocation location;
  const bool parsed = ParseRegistryPath(pathText, &location);
  const Root* root = nullptr;
  for (const Root& candidate : kRoots) {
    if (root == nullptr && searched.find(candidate.name) != std::string::npos) {
      root = &candidate;
    }
  }
  FUZZ_CHECK(parsed == (root != nullptr));
  if (parsed) {
    FUZZ_CHECK(location.root == root->root);
    const size_t firstSeparator = searched.find('\\');
    const std::string rest =
        firstSeparator == std::string::npos ? pathText : pathText.substr(firstSeparator + 1);
    const std::string& key = location.keyPath;
    const std::string& name = location.valueName;
    FUZZ_CHECK(BeforeZero(name).find('\\') == std::string::npos);
    FUZZ_CHECK(EndsWith(pathText, name));
    FUZZ_CHECK(rest == key + "\\" + name ||
               (key.empty() && rest == name && BeforeZero(rest).find('\\') == std::string::npos));
  }

  // The read, with the value stored where the split points (or beside it).
  VirtualPlatform platform;
  if (parsed) {
    platform.registry[{location.root, location.keyPath,
                       elsewhere ? location.valueName + "x" : location.valueName}] = value;
  }
  std::string out = "untouched";
  const bool read = ReadRegistryString(platform, pathText, out);
  if (pathText.empty()) {
    FUZZ_CHECK(!read && out == "untouched");
    return 0;
  }
  FUZZ_CHECK(read == (parsed && !elsewhere && value.size() <= kMaxRegistryValueBytes));
  if (!read) {
    FUZZ_CHECK(out.empty());
    return 0;
  }
  // The value's bytes up to the first zero: a prefix with no zero, at most
  // 255 characters.
  FUZZ_CHECK(out.size() <= 255 && out.find('\0') == std::string::npos);
  FUZZ_CHECK(value.compare(0, out.size(), out) == 0);
  FUZZ_CHECK(out.size() == value.size() || value[out.size()] == '\0');
  return 0;
}
