// The files the registration works on, worked out from the registry and the
// user's application-data folder.
#pragma once
#include <string>

namespace addovar {

struct RegistrationPaths {
  std::string simulatorFolder;  // empty when FSX-SE was not found
  std::string dllXml;           // empty when the application-data folder is unknown
  std::string backup;           // dll.xml followed by ".orvante_backup"
  std::string templateFile;     // <simulator>\ORVANTE\res\dll.xml; empty without a simulator
};

RegistrationPaths WorkOutPaths();

}  // namespace addovar
