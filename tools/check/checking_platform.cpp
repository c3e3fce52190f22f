#include "checking_platform.h"

namespace {
constexpr size_t kDirectoryBufferSize = 260;
}  // namespace

bool CheckingPlatform::ReadRegistryValue(RegistryRoot root, RegistryView view,
                                         const std::string& keyPath, const std::string& valueName,
                                         size_t maxBytes, std::string* data) {
  const bool found = m_real.ReadRegistryValue(root, view, keyPath, valueName, maxBytes, data);
  m_registryReads.push_back({root, view, keyPath, valueName, found, found ? *data : std::string()});
  return found;
}

bool CheckingPlatform::ShellOpen(const std::string& file, const std::string& parameters) {
  StartRecord start{file, parameters, std::string(), m_real.CanOpenForReading(file)};
  m_real.GetCurrentDir(kDirectoryBufferSize, &start.dir);
  m_starts.push_back(start);
  return start.started;
}

bool CheckingPlatform::CanOpenForReading(const std::string& name) {
  const bool readable = m_real.CanOpenForReading(name);
  m_probes.push_back({name, readable});
  return readable;
}
